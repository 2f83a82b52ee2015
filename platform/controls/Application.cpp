#include "platform/controls/Application.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <exception>
#include <stdexcept>

#include "platform/controls/Form.h"
#include "platform/qtbase/QtSupport.h"
#include "platform/qtbase/Services.h"

namespace platform {

namespace {
Application* theApplication = nullptr;
}

struct Application::Impl {
  std::unique_ptr<QApplication> qapp;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>()) {
  if (theApplication) throw std::logic_error("one application per process");
  // Taken before Qt removes the options it knows from argv.
  for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
  if (!QApplication::instance()) impl_->qapp = std::make_unique<QApplication>(argc, argv);
  // Our forms decide when the program ends: the main form's close quits the loop.
  QApplication::setQuitOnLastWindowClosed(false);
  theApplication = this;
}

Application::~Application() { theApplication = nullptr; }

Application& Application::instance() {
  if (!theApplication) throw std::logic_error("no application");
  return *theApplication;
}

void Application::setTitle(const std::string& title) {
  title_ = title;
  QApplication::setApplicationName(QString::fromStdString(title));
}

void Application::setIcon(const std::string& name) {
  const QImage image(QString::fromStdString(":/icons/" + name + ".png"));
  if (image.isNull()) throw std::runtime_error("Resource " + name + " not found");
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(image)));
  // Transparent parts take the window colour, as an icon drawn on a form shows them.
  QImage shown(32, 32, QImage::Format_RGB32);
  shown.fill(QApplication::palette().window().color());
  QPainter painter(&shown);
  painter.drawImage(QRect(0, 0, 32, 32), image);
  painter.end();
  icon_ = fromQImage(shown);
}

void Application::run(Form& mainForm) {
  QEventLoop loop;
  mainForm.whenClosed([&loop] { loop.quit(); });
  mainForm.show();
  // A window manager may never report activation (a bare X server has none), so the first activation
  // is also raised once the loop runs; the programs' activation handlers run their start-up only once.
  QTimer::singleShot(0, [&mainForm] { mainForm.activate(); });
  loop.exec();
  mainForm.whenClosed(nullptr);
}

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

void Application::processMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::string Application::exeName() const { return QCoreApplication::applicationFilePath().toStdString(); }

int Application::screenWidth() const {
  if (screenWidth_ > 0) return screenWidth_;
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 0;
}

int Application::screenHeight() const {
  if (screenHeight_ > 0) return screenHeight_;
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 0;
}

void Application::setScreenSize(int width, int height) {
  screenWidth_ = width;
  screenHeight_ = height;
}

void guarded(const std::function<void()>& handler) {
  std::string error;
  try {
    handler();
    return;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "Unknown error";
  }
  try {
    services().exceptionBox(error);
  } catch (...) {
    // The box itself failed: nothing further can be reported.
  }
}

}  // namespace platform
