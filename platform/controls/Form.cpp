#include "platform/controls/Form.h"

#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMargins>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include "platform/controls/Application.h"
#include "platform/controls/Menu.h"
#include "platform/controls/Widgets.h"
#include "platform/qtbase/QtSupport.h"

namespace platform {

class FormWidget : public QWidget {
 public:
  // Hints show over any of our windows, also where no window manager makes one active.
  explicit FormWidget(Form* form) : form_(form) { setAttribute(Qt::WA_AlwaysShowToolTips); }
  QMenuBar* menuBar = nullptr;
  QWidget* client = nullptr;
  int clientW = 0, clientH = 0;

  int menuHeight() const { return menuBar ? menuBar->sizeHint().height() : 0; }

  void layoutClient() {
    const int mh = menuHeight();
    if (menuBar) menuBar->setGeometry(0, 0, width(), mh);
    client->setGeometry(0, mh, width(), height() - mh);
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::WindowActivate) {
      bringBackModalWindows();
      form_->activate();
    }
    const bool handled = QWidget::event(e);
    // The frame's size is known once the window manager has framed the window.
    if (e->type() == QEvent::Show || e->type() == QEvent::Move) {
      form_->fitOuterSize();
      form_->keepAskedPlace();
    }
    return handled;
  }
  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange) return;
    const auto old = static_cast<QWindowStateChangeEvent*>(e)->oldState();
    if ((old & Qt::WindowMaximized) && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
      form_->restored();
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    layoutClient();
    form_->realign();
  }
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      // Enter presses the focused button, else the default one.
      if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
        focused->click();
        return;
      }
      if (form_->defaultButton_) {
        form_->defaultButton_->click();
        return;
      }
    }
    QWidget::keyPressEvent(e);
  }
  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    form_->handleClose();
  }

 private:
  // A modal window minimised anyway comes back above its owner when the owner is activated.
  void bringBackModalWindows() {
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (!w->isWindow() || !w->isVisible() || !w->isModal() || !(w->windowState() & Qt::WindowMinimized))
        continue;
      w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
      w->show();
      w->raise();
      w->activateWindow();
    }
  }
  Form* form_;
};

namespace {
FormWidget* fw(QWidget* w) { return static_cast<FormWidget*>(w); }

QMargins frameOf(const QWidget* w) {
  const QRect outer = w->frameGeometry(), inner = w->geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

// The window manager's frame around the last of our windows it framed. Our windows share their frames'
// looks, so a window not framed yet is placed with this one's: a window placed before its frame is known
// would otherwise land a title bar lower than it asked.
QMargins lastFrame;

constexpr int kPlacingMs = 1000;
}  // namespace

Form::Form() : Container(nullptr, new FormWidget(this)) {
  auto* w = fw(widget_);
  client_ = new QWidget(w);
  w->client = client_;
  client_->setAutoFillBackground(true);
  w->setFont(qtFont(Font{}));
  setVisible(false);
}

Form::~Form() {
  // The derived form's controls are gone by now; the window takes the rest with it.
}

void Form::setCaption(const std::string& caption) { widget_->setWindowTitle(qs(caption)); }
std::string Form::caption() const { return ss(widget_->windowTitle()); }

QWidget* Form::clientWidget() const { return client_; }
QWidget* Form::window() const { return widget_; }

void Form::setClientSize(int width, int height) {
  auto* w = fw(widget_);
  w->clientW = width;
  w->clientH = height;
  const int total = height + w->menuHeight();
  if (fixedBorder_ && !maximized_) {
    w->setFixedSize(width, total);
  } else {
    w->resize(width, total);
  }
  w->layoutClient();
  realign();
}

namespace {
// A border that does not resize: the window keeps the client size the program gave.
void fixBorder(FormWidget* w, Qt::WindowFlags flags) { w->setWindowFlags(framedWith(flags)); }
}  // namespace

void Form::setFixedBorder() {
  fixedBorder_ = true;
  fixBorder(fw(widget_), Qt::Window | Qt::WindowMinimizeButtonHint);
  setClientSize(fw(widget_)->clientW, fw(widget_)->clientH);
}

void Form::setDialogBorder() {
  fixedBorder_ = true;
  fixBorder(fw(widget_), Qt::Dialog);
  setClientSize(fw(widget_)->clientW, fw(widget_)->clientH);
}

void Form::setStayOnTop() { widget_->setWindowFlag(Qt::WindowStaysOnTopHint, true); }

void Form::centerOnScreen() {
  centred_ = true;
  placeAsked();
}

void Form::reckonAsked(const QMargins& frame) {
  const Application& app = Application::instance();
  askedLeft_ = std::max(0, (app.screenWidth() - widget_->width() - frame.left() - frame.right()) / 2);
  askedTop_ = std::max(0, (app.screenHeight() - widget_->height() - frame.top() - frame.bottom()) / 2);
}

void Form::placeAsked() {
  // A form that asks for no place is left where Qt and the window manager put it.
  if (maximized_ || !centred_) return;
  const bool framed = widget_->frameGeometry() != widget_->geometry();
  const QMargins frame = framed ? frameOf(widget_) : lastFrame;
  reckonAsked(frame);
  if (framed || !widget_->testAttribute(Qt::WA_WState_Created)) {
    // Qt places the frame there: with the frame it knows, or through the window manager's gravity.
    widget_->move(askedLeft_, askedTop_);
  } else {
    // A native window whose frame is not known yet takes the position as that of its client area.
    widget_->move(askedLeft_ + frame.left(), askedTop_ + frame.top());
  }
}

void Form::keepAskedPlace() {
  if (placing_ == 0 || !centred_ || !widget_->isVisible() || widget_->frameGeometry() == widget_->geometry())
    return;
  lastFrame = frameOf(widget_);
  reckonAsked(lastFrame);
  if (screenLeft() == askedLeft_ && screenTop() == askedTop_) return;
  // The frame turned out other than reckoned, or the platform placed the window after it showed: now that
  // the frame is known, the window goes where it asked.
  --placing_;
  widget_->move(askedLeft_, askedTop_);
}

void Form::setOuterSize(int width, int height) {
  outerWidth_ = width;
  outerHeight_ = height;
  fitOuterSize();
}

void Form::fitOuterSize() {
  if (outerWidth_ <= 0 || maximized_) return;
  auto* w = fw(widget_);
  const QSize frame = w->frameGeometry().size() - w->geometry().size();
  const int width = outerWidth_ - frame.width();
  const int height = outerHeight_ - frame.height() - w->menuHeight();
  if (width != w->clientW || height != w->clientH) setClientSize(width, height);
}

void Form::restored() {
  if (!maximized_) return;
  maximized_ = false;
  auto* w = fw(widget_);
  setClientSize(w->clientW, w->clientH);
  // Larger than the screen, it shows its title bar and left edge.
  centerOnScreen();
}

void Form::setMaximized(bool maximized) {
  maximized_ = maximized;
  auto* w = fw(widget_);
  if (maximized) {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    w->setWindowState(w->windowState() | Qt::WindowMaximized);
  } else {
    w->setWindowState(w->windowState() & ~Qt::WindowMaximized);
    setClientSize(w->clientW, w->clientH);
  }
}

void Form::attachMenu(MainMenu& menu) {
  auto* w = fw(widget_);
  w->menuBar = static_cast<QMenuBar*>(menu.bar());
  w->menuBar->setParent(w);
  w->menuBar->show();
  setClientSize(w->clientW, w->clientH);
}

void Form::show() {
  // The menu bar's height is known only once its items exist.
  auto* w = fw(widget_);
  if (!maximized_) setClientSize(w->clientW, w->clientH);
  const bool wasShowing = showing();
  if (!wasShowing && !maximized_) {
    // Every showing goes where the form asks, the first included.
    placeAsked();
    // The window manager frames and places a window within moments of its showing; a move after that is
    // the user's.
    placing_ = 3;
    const int showing = ++showings_;
    QTimer::singleShot(kPlacingMs, widget_, [this, showing] {
      if (showing == showings_) placing_ = 0;
    });
  }
  setVisible(true);
  // Qt shifts a window placed before it had a native one by the frame, without a move event.
  keepAskedPlace();
  // Every showing starts on the first tab stop, not where the last one left the focus.
  if (!wasShowing) focusFirstTabStop();
  widget_->activateWindow();
}

void Form::focusFirstTabStop() {
  for (QWidget* w = widget_->nextInFocusChain(); w && w != widget_; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(widget_) && w->isEnabled() &&
        widget_->isAncestorOf(w)) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

bool Form::showing() const { return widget_->isVisible(); }

void Form::close() { handleClose(); }

void Form::handleClose() {
  if (!widget_->isVisible()) return;
  CloseAction action = CloseAction::Hide;
  if (OnClose) guarded([&] { OnClose(action); });
  if (action == CloseAction::None) return;
  setVisible(false);
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  if (endModal_) endModal_();
  if (closedHook_) closedHook_();
}

int Form::screenLeft() const { return widget_->frameGeometry().left(); }
int Form::screenTop() const { return widget_->frameGeometry().top(); }

void Form::activate() {
  if (OnActivate) guarded(OnActivate);
}

ModalResult Form::showModal() { return services().showModal(*this); }

void Form::setModalResult(ModalResult result) {
  modalResult_ = result;
  if (result != mrNone && endModal_) {
    setVisible(false);
    endModal_();
  }
}

ModalResult Form::runModalLoop() {
  modalResult_ = mrNone;
  QEventLoop loop;
  endModal_ = [&loop] { loop.quit(); };
  // Owned by the window that opened it: kept above it, and the window manager offers no minimise box.
  const Qt::WindowFlags flags = widget_->windowFlags();
  QWidget* owner = modalOwner();
  if (owner && owner != widget_) widget_->setParent(owner, flags);
  widget_->setWindowModality(Qt::ApplicationModal);
  show();
  activate();
  loop.exec();
  endModal_ = nullptr;
  setVisible(false);
  // The form outlives this showing and must not be taken along when the owner goes.
  if (widget_->parentWidget()) widget_->setParent(nullptr, flags);
  return modalResult_;
}

}  // namespace platform
