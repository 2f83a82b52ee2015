// What the layer's controls show: fonts with the widths the layouts expect, labels that keep their room
// and show their text whole and literally.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menu.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/Widgets.h"
#include "platform/dialogs/QtServices.h"
#include "tests/support/Input.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TestFiles.h"

using namespace platform;

namespace {
double shownWidth(const Label& label) {
  const auto* w = static_cast<const QLabel*>(label.widget());
  return QFontMetricsF(w->font()).horizontalAdvance(w->text());
}
}  // namespace

TEST(Fonts, TheWindowsFacesShowInTheFaceWithTheirWidthsAtTheGivenPixelSize) {
  Form form;
  Label label(form, "Colors=256");
  for (const Font& font :
       {Font{"MS Sans Serif", 11}, Font{"Arial", 16, true}, Font{"Small Fonts", 7}, Font{}}) {
    label.setFont(font);
    const QFontInfo shown(label.widget()->font());
    EXPECT_EQ(shown.family(), "Liberation Sans") << font.family;
    EXPECT_EQ(shown.pixelSize(), font.pixelSize) << font.family;
  }
}

TEST(Label, AFixedSizeLabelKeepsTheSizeItWasGivenWhateverItsTextWas) {
  Form form;
  form.setFont(Font{"MS Sans Serif", 11});
  Label label(form, "");  // auto-sized at first, as every label is
  label.setBounds(8, 8, 521, 13);
  label.setAutoSize(false);
  label.setCaption("Imported Filename: /home/user/sheets/level one.bmp");
  EXPECT_EQ(label.width(), 521);
  EXPECT_EQ(label.height(), 13);
  EXPECT_LE(shownWidth(label), 521.0);
}

// A text a fraction of a pixel too wide is condensed into its room, never cut; an auto-sized label whose
// text is far wider than its room grows instead, at the face's own width.
TEST(Label, ATextSlightlyWiderThanItsRoomIsCondensedAndAFarWiderOneGrows) {
  Form form;
  form.setFont(Font{"MS Sans Serif", 11});
  Label fixed(form, "Number of tiles across bitmap");
  fixed.setBounds(8, 128, 145, 17);
  fixed.setAutoSize(false);
  EXPECT_LE(shownWidth(fixed), 145.0);
  EXPECT_GE(fixed.widget()->font().stretch(), 94);

  Label grown(form, "");
  grown.setBounds(32, 15, 0, 0);
  grown.setCaption("Application Title");
  EXPECT_EQ(grown.widget()->font().stretch(), 100);
  EXPECT_GE(grown.width(), static_cast<int>(shownWidth(grown)));

  Label automatic(form, "Number of tiles across bitmap");
  automatic.setBounds(8, 128, 145, 17);
  EXPECT_LE(automatic.width(), 145) << "an auto-sized label stays within its laid-out room";
}

TEST(Label, ShowsItsCaptionAsPlainTextNeverAsMarkup) {
  Form form;
  Label plain(form, "9.9");
  Label marked(form, "<b>9.9</b>");
  EXPECT_GT(marked.width(), plain.width() + 20) << "the tags are shown, not obeyed";
  EXPECT_EQ(static_cast<QLabel*>(marked.widget())->text(), "<b>9.9</b>");
}

// Panels of the laid-out widths of both programs' status bars, with the longest texts they show.
TEST(StatusBar, APanelGrowsToShowItsWholeTextAndMovesThoseAfterItWhileAFittingOneKeepsItsWidth) {
  const struct {
    std::vector<int> widths;
    std::vector<std::string> texts;
  } bars[] = {{{100, 110, 300}, {"Grid Size: 512x512", "Num of images: 262144", "Project: "}},
              {{100, 110, 300}, {"Grid Size: 4x2", "Num of images: 8", "Project: No file name"}},
              {{60, 120, 610, 50}, {"Colors=256", "Bitmap Size= 1000 x 1000", "", ""}},
              {{60, 120, 610, 50}, {"Colors=16", "Bitmap Size= 16 x 16", "", ""}}};
  for (const auto& b : bars) {
    Form form;
    StatusBar bar(form, 19);
    for (std::size_t i = 0; i < b.widths.size(); ++i) {
      bar.addPanel(b.widths[i]);
      bar.setPanelText(static_cast<int>(i), b.texts[i]);
    }
    const QFontMetricsF metrics(bar.widget()->font());
    int left = 0;
    for (int i = 0; i < bar.panelCount(); ++i) {
      const double text = metrics.horizontalAdvance(QString::fromStdString(b.texts[i]));
      const int laidOut = b.widths[i];
      SCOPED_TRACE(b.texts[i]);
      EXPECT_EQ(bar.panelLeft(i), left);
      EXPECT_GE(bar.panelWidth(i), laidOut);
      EXPECT_GE(bar.panelWidth(i) - 5, text) << "the text is whole";
      if (text + 5 <= laidOut) {
        EXPECT_EQ(bar.panelWidth(i), laidOut);
      }
      left += bar.panelWidth(i);
    }
  }
}

// Labels and images are drawn on the form beneath the windowed controls whatever the order they were
// made in, and a panel paints its own background over what lies beneath it.
TEST(Stacking, ButtonsStayAboveLaterLabelsAndImagesAndPanelsHideWhatIsBeneath) {
  Form form;
  form.setClientSize(200, 200);
  Image red(form);
  red.setBounds(0, 0, 200, 200);
  red.setStretch(true);
  Bitmap fill(1, 1);
  fill.setPixel(0, 0, rgb(255, 0, 0));
  red.setPicture(fill);
  Button ok(form, "OK");
  ok.setBounds(40, 120, 100, 25);
  Image logo(form);
  logo.setBounds(8, 80, 137, 121);
  Label label(form, "over the button");
  label.setBounds(40, 125, 100, 13);
  Panel panel(form);
  panel.setBounds(150, 10, 40, 40);
  form.show();
  EXPECT_EQ(form.clientWidget()->childAt(ok.widget()->geometry().center()), ok.widget());
  const QImage shot = form.clientWidget()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), QColor(255, 0, 0)) << "the picture shows where nothing covers it";
  EXPECT_NE(shot.pixelColor(170, 30), QColor(255, 0, 0)) << "the panel is not see-through";
}

// A bar without a page size has a thumb of fixed size, and a click on its track moves it by its page step.
TEST(ScrollBar, HasAFixedThumbAndAClickOnTheTrackMovesOneStep) {
  Form form;
  form.setClientSize(200, 50);
  ScrollBar bar(form);
  bar.setBounds(0, 0, 160, 17);
  bar.setMax(1);
  form.show();
  auto* widget = static_cast<QScrollBar*>(bar.widget());
  QStyleOptionSlider option;
  option.initFrom(widget);
  option.orientation = Qt::Horizontal;
  option.minimum = widget->minimum();
  option.maximum = widget->maximum();
  option.pageStep = widget->pageStep();
  option.subControls = QStyle::SC_All;
  const QRect thumb =
      widget->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, widget);
  EXPECT_LT(thumb.width(), 40) << "a two-position bar's thumb does not fill half its track";
  bar.setMax(10);
  clickAt(form, 150, 8);
  EXPECT_EQ(bar.position(), 1);
}

// A modal form belongs to the window that opened it while it is shown, comes back when it was minimised
// and its owner is activated, and leaves its owner when it closes.
TEST(ModalWindows, BelongToTheirOwnerAndComeBackWhenTheOwnerIsActivated) {
  QtServices real;
  setServices(&real);
  Form owner;
  owner.setClientSize(300, 200);
  owner.show();
  Form dialog;
  dialog.setDialogBorder();
  dialog.setClientSize(100, 50);
  QWidget* shownOwner = nullptr;
  bool cameBack = false;
  QTimer::singleShot(0, [&] {
    shownOwner = dialog.window()->parentWidget();
    dialog.window()->setWindowState(Qt::WindowMinimized);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(owner.window(), &activate);
    cameBack = dialog.window()->isVisible() && !(dialog.window()->windowState() & Qt::WindowMinimized);
    dialog.setModalResult(mrOk);
  });
  EXPECT_EQ(dialog.showModal(), mrOk);
  EXPECT_EQ(shownOwner, owner.window());
  EXPECT_TRUE(cameBack);
  EXPECT_EQ(dialog.window()->parentWidget(), nullptr);
  EXPECT_FALSE(dialog.window()->windowFlags() & Qt::WindowMinimizeButtonHint);
  setServices(nullptr);
}

// Started maximised and restored by the window manager: the fixed size again, centred, and a window
// larger than the screen shows its title bar and left edge.
TEST(Form, RestoredFromMaximisedKeepsItsFixedSizeCentredOnTheScreen) {
  Application::instance().setScreenSize(640, 480);
  Form form;
  form.setClientSize(800, 554);
  form.setFixedBorder();
  form.setMaximized(true);
  form.show();
  form.window()->setWindowState(Qt::WindowNoState);
  EXPECT_FALSE(form.maximized());
  EXPECT_EQ(form.clientWidget()->size(), QSize(800, 554));
  EXPECT_EQ(form.window()->minimumSize(), form.window()->maximumSize()) << "the size stays fixed";
  EXPECT_EQ(form.screenLeft(), 0);
  EXPECT_EQ(form.screenTop(), 0);
  Application::instance().setScreenSize(0, 0);
}

// The speed input box keeps one size, as the message boxes do: a box the user can resize gets the window
// manager's resize strip under its buttons.
TEST(InputBox, KeepsOneSizeLikeTheMessageBoxes) {
  QtServices real;
  QSize least, most, hint;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    least = box->minimumSize();
    most = box->maximumSize();
    hint = box->sizeHint();
    box->reject();
  });
  EXPECT_EQ(real.inputBox("Frames/Sec", "Number of frames per second (1-15)", "5"), std::nullopt);
  EXPECT_EQ(least, most) << "the window manager may not resize it";
  EXPECT_GE(least.width(), hint.width()) << "nothing is squeezed";
  EXPECT_GE(least.height(), hint.height());
}

// A form goes where it asks from its first showing on: its frame, not its client area, in the middle of
// the screen, also when it was placed before the window manager framed it, and again at the next showing.
TEST(Form, StandsWhereItAsksAtItsFirstAndEveryLaterShowing) {
  Application::instance().setScreenSize(1280, 1024);
  QtServices real;
  setServices(&real);
  Form owner;
  owner.setClientSize(300, 200);
  owner.show();
  const struct {
    const char* name;
    bool dialog, menu, nativeBeforeShowing;
    int width, height;
    int outerWidth, outerHeight;  // set after the form was first centred, as the about box does; 0: none
  } cases[] = {
      {"dialog of 622 x 302", true, false, false, 622, 302, 0, 0},
      {"window with a menu bar", false, true, false, 800, 554, 0, 0},
      {"dialog given its outer size after centring", true, false, false, 180, 254, 160, 182},
      {"dialog whose native window exists before it shows", true, false, true, 622, 302, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Form form;
    if (c.dialog)
      form.setDialogBorder();
    else
      form.setFixedBorder();
    std::unique_ptr<MainMenu> menu;
    std::unique_ptr<MenuItem> item;
    if (c.menu) {
      menu = std::make_unique<MainMenu>(form);
      item = std::make_unique<MenuItem>(*menu, "&File");
      form.attachMenu(*menu);
    }
    form.setClientSize(c.width, c.height);
    form.centerOnScreen();
    if (c.outerWidth) {
      form.setOuterSize(c.outerWidth, c.outerHeight);
      form.centerOnScreen();
    }
    if (c.nativeBeforeShowing) form.window()->winId();
    for (int showing = 1; showing <= 2; ++showing) {
      SCOPED_TRACE(testing::Message() << "showing " << showing);
      QRect outer, inner;
      QTimer::singleShot(0, [&] {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        outer = form.window()->frameGeometry();
        inner = form.window()->geometry();
        form.setModalResult(mrOk);
      });
      ASSERT_EQ(form.showModal(), mrOk);
      ASSERT_NE(outer, inner) << "the window has a frame";
      EXPECT_EQ(outer.left(), (1280 - outer.width()) / 2);
      EXPECT_EQ(outer.top(), (1024 - outer.height()) / 2);
      EXPECT_EQ(form.screenLeft(), outer.left());
      EXPECT_EQ(form.screenTop(), outer.top());
    }
  }
  setServices(nullptr);
  Application::instance().setScreenSize(0, 0);
}

// The file dialog shows each filter's text once, refuses a name in a missing folder where the path must
// exist (a warning, and the dialog stays open), and shows the selected bitmap where it has a preview.
TEST(FileDialog, ShowsFiltersOnceRefusesAMissingFolderAndPreviewsTheSelectedBitmap) {
  testing_support::ScriptedServices ui;
  const std::string picture = testing_support::writeBitmapFile("shown.bmp", 16, 8, PixelFormat::pf8bit,
                                                               [](int, int) { return rgb(0, 0, 255); });
  FileDialogRequest request;
  request.kind = FileDialogKind::Save;
  request.filter = "Bitmaps (*.bmp)|*.bmp|Any File|*.*";
  request.initialDir = testing_support::scratchFolder();
  request.pathMustExist = true;
  request.preview = true;
  const auto dialog = makeFileDialog(request, nullptr);
  const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
  ASSERT_NE(types, nullptr);
  ASSERT_EQ(types->count(), 2);
  EXPECT_EQ(types->itemText(0), "Bitmaps (*.bmp)");
  EXPECT_EQ(types->itemText(1), "Any File");

  ui.answerMessage(mrOk);
  dialog->open();
  dialog->selectFile(QString::fromStdString(testing_support::scratchFolder() + "missing/level.bmp"));
  static_cast<QDialog*>(dialog.get())->accept();  // what OK does
  EXPECT_TRUE(dialog->isVisible()) << "a name in a missing folder is refused";
  ASSERT_EQ(ui.callsOf(testing_support::CallKind::Message).size(), 1u);
  EXPECT_EQ(ui.callsOf(testing_support::CallKind::Message)[0].type, MsgType::Warning);

  emit dialog->currentChanged(QString::fromStdString(picture));
  const auto* preview = dialog->findChild<QLabel*>("preview");
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(preview->pixmap().isNull());
  emit dialog->currentChanged(QString::fromStdString(testing_support::scratchFolder() + "not-there.bmp"));
  EXPECT_TRUE(preview->pixmap().isNull());

  dialog->selectFile(QString::fromStdString(testing_support::scratchFolder() + "level.bmp"));
  static_cast<QDialog*>(dialog.get())->accept();  // what OK does
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

// A dialog the user can resize gets the window manager's resize handle, a strip along its bottom edge that
// reads as a squashed control: every file dialog keeps one size, the one that shows all of it, preview
// included.
TEST(FileDialog, KeepsTheSizeThatShowsAllOfItWithoutSizeGrip) {
  for (const FileDialogKind kind : {FileDialogKind::Open, FileDialogKind::Save})
    for (const bool preview : {false, true}) {
      SCOPED_TRACE(std::string(kind == FileDialogKind::Open ? "open" : "save") + (preview ? ", preview" : ""));
      FileDialogRequest request;
      request.kind = kind;
      request.filter = "Bitmaps (*.bmp)|*.bmp";
      request.preview = preview;
      const auto dialog = makeFileDialog(request, nullptr);
      dialog->show();
      EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "the window manager may not resize it";
      EXPECT_GE(dialog->width(), dialog->sizeHint().width()) << "nothing is squeezed";
      EXPECT_GE(dialog->height(), dialog->sizeHint().height());
      for (const QSizeGrip* grip : dialog->findChildren<QSizeGrip*>()) EXPECT_FALSE(grip->isVisible());
    }
}

// Every detail column shows its texts whole (Qt's own widths cut "59.1 KiB", "1,000 bytes", "Windows BMP
// image" and the dates), and so does the side bar with a home folder of a long name, in every kind of file
// dialog.
TEST(FileDialog, ItsColumnsAndSideBarShowTheirTextsWhole) {
  const std::string folder = testing_support::scratchFolder() + "columns/";
  std::filesystem::create_directories(folder + "inner folder");
  const std::string home = testing_support::scratchFolder() + "home.of.someone.else";
  std::filesystem::create_directories(home);
  const std::string ownHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", home.c_str(), 1);
  std::ofstream(folder + "sheet.bmp") << std::string(60500, 'x');
  std::ofstream(folder + "tile.bmp") << std::string(1000, 'x');
  std::ofstream(folder + "level.prj") << "x";
  for (const FileDialogKind kind : {FileDialogKind::Open, FileDialogKind::Save})
    for (const bool preview : {false, true}) {
      SCOPED_TRACE(std::string(kind == FileDialogKind::Open ? "open" : "save") + (preview ? ", preview" : ""));
      FileDialogRequest request;
      request.kind = kind;
      request.filter = "Bitmaps (*.bmp)|*.bmp|Any File|*.*";
      request.initialDir = folder;
      request.preview = preview;
      const auto dialog = makeFileDialog(request, nullptr);
      dialog->show();
      auto* tree = dialog->findChild<QTreeView*>("treeView");
      auto* side = dialog->findChild<QListView*>("sidebar");
      ASSERT_TRUE(tree && side);
      const QModelIndex root = tree->rootIndex();
      // The dialog lists the folder from a thread of its own: on a busy machine that takes a while.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (tree->model()->rowCount(root) < 3 && std::chrono::steady_clock::now() < deadline) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      ASSERT_EQ(tree->model()->rowCount(root), 3) << "the folder and both bitmaps";
      QApplication::processEvents();
      for (int column = 0; column < tree->header()->count(); ++column) {
        SCOPED_TRACE(tree->model()->headerData(column, Qt::Horizontal).toString().toStdString());
        EXPECT_GE(tree->header()->sectionSize(column),
                  static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(column));
      }
      for (int row = 0; row < side->model()->rowCount(); ++row)
        EXPECT_GE(side->viewport()->width(), side->sizeHintForIndex(side->model()->index(row, 0)).width())
            << side->model()->index(row, 0).data().toString().toStdString();
      EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "it keeps one size";
    }
  setenv("HOME", ownHome.c_str(), 1);
}

// The full path of an existing file, typed into a dialog that is not the active window (as keys sent to
// it by another program arrive), selects each folder it passes through; those selections must not take the
// place of the typed name, which would leave Save disabled or turn it into Open of the first folder.
TEST(FileDialog, AFullPathTypedIsTakenAsItsName) {
  const std::string folder = testing_support::scratchFolder() + "typed/";
  std::filesystem::create_directories(folder + "inner");
  const std::string target = folder + "level.prj";
  std::ofstream(target) << "x";
  FileDialogRequest request;
  request.kind = FileDialogKind::Save;
  request.filter = "Project File (*.prj)|*.prj";
  request.initialDir = folder;
  const auto dialog = makeFileDialog(request, nullptr);
  dialog->open();
  auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
  auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
  ASSERT_TRUE(name && buttons);
  QPushButton* save = buttons->button(QDialogButtonBox::Save) ? buttons->button(QDialogButtonBox::Save)
                                                              : buttons->button(QDialogButtonBox::Open);
  ASSERT_NE(save, nullptr);
  for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
  QWidget elsewhere;  // the window the keyboard belongs to
  elsewhere.show();
  elsewhere.activateWindow();
  QApplication::setActiveWindow(&elsewhere);
  for (int i = 0; i < 5; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
  for (const QChar c : QString::fromStdString(target)) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(name, &press);
    QApplication::processEvents();
  }
  EXPECT_TRUE(save->isEnabled());
  EXPECT_EQ(save->text(), "&Save");
  ASSERT_FALSE(dialog->selectedFiles().isEmpty());
  EXPECT_EQ(dialog->selectedFiles().first().toStdString(), target);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(name, &enter);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);

  // A folder's name typed the same way still opens that folder.
  const auto again = makeFileDialog(request, nullptr);
  again->open();
  auto* name2 = again->findChild<QLineEdit*>("fileNameEdit");
  for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
  QApplication::setActiveWindow(&elsewhere);
  for (const QChar c : QString("inner")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(name2, &press);
    QApplication::processEvents();
  }
  QApplication::sendEvent(name2, &enter);
  EXPECT_TRUE(again->isVisible());
  EXPECT_EQ(again->directory().absolutePath().toStdString() + "/", folder + "inner/");
}
