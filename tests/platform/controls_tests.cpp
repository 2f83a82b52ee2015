// The layer's own behaviour that the programs rely on: handler guard, menu and tool-button state,
// scripted dialogs, file dialog names and filters, grid geometry and selection.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menu.h"
#include "platform/controls/StringGrid.h"
#include "platform/controls/ToolBar.h"
#include "platform/controls/Widgets.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/QtServices.h"
#include "tests/support/Input.h"
#include "tests/support/ScriptedServices.h"

using namespace platform;
using testing_support::CallKind;
using testing_support::ScriptedServices;

TEST(Guard, AnEscapingErrorEndsTheHandlerWithTheDefaultBoxAndTheProgramGoesOn) {
  ScriptedServices ui;
  ui.acknowledge();
  bool after = false;
  guarded([&] {
    throw std::runtime_error("'x' is not a valid integer value");
    after = true;
  });
  EXPECT_FALSE(after);
  ASSERT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(ui.callsOf(CallKind::Exception)[0].text, "'x' is not a valid integer value");
}

TEST(Menu, OnlyTheProgramMovesACheckMark) {
  Form form;
  MainMenu bar(form);
  MenuItem top(bar, "&Options");
  MenuItem grid(top, "&Grid");
  grid.setChecked(true);
  int clicks = 0;
  grid.OnClick = [&] { ++clicks; };
  grid.action()->trigger();  // what the user's choice does
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(grid.checked());
  EXPECT_TRUE(grid.action()->isChecked());
  grid.setEnabled(false);
  grid.click();
  EXPECT_EQ(clicks, 1) << "a disabled item does not run";
}

TEST(ToolBar, ButtonsSitLeftToRightWithFixedGapsAndStayDownOnlyWhenTold) {
  Form form;
  form.setClientSize(300, 100);
  ToolBar bar(form);
  bar.setButtonSize(39, 38);
  ToolButton a(bar, "tlb_exit");
  ToolButton gap(bar, 66);
  ToolButton b(bar, "tlb_grid");
  EXPECT_EQ(gap.left(), a.left() + 39);
  EXPECT_EQ(b.left(), gap.left() + 66);
  int clicks = 0;
  b.OnClick = [&] { ++clicks; };
  static_cast<QToolButton*>(b.widget())->click();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b.down());
  EXPECT_FALSE(static_cast<QToolButton*>(b.widget())->isChecked());
}

TEST(SpeedButton, OneGroupInOneContainerHasOneButtonDownAndTheIconSizeIsSettable) {
  Form form;
  Panel left(form), right(form);
  SpeedButton a(left, "cmd_draw"), b(left, "cmd_line"), other(left, "cmd_box"), c(right, "cmd_paint");
  for (SpeedButton* button : {&a, &b, &c}) button->setGroupIndex(1);
  other.setGroupIndex(2);
  a.setDown(true);
  other.setDown(true);
  c.setDown(true);
  static_cast<QToolButton*>(b.widget())->click();
  EXPECT_TRUE(b.down());
  EXPECT_FALSE(a.down()) << "raised by its group";
  EXPECT_FALSE(static_cast<QToolButton*>(a.widget())->isChecked());
  EXPECT_TRUE(other.down()) << "another group";
  EXPECT_TRUE(c.down()) << "another container";
  b.click();
  EXPECT_TRUE(b.down()) << "without all-up a pressed button stays down";
  b.setIconSize(32);
  EXPECT_EQ(static_cast<QToolButton*>(b.widget())->iconSize(), QSize(32, 32));
}

TEST(ScriptedServices, ADialogNobodyScriptedFailsTheTestAndIsCancelled) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedServices ui;
        EXPECT_EQ(messageDlg("Really?", MsgType::Confirmation, MsgButtons::YesNo), mrCancel);
      },
      "unexpected message box");
}

// The real box: closing it without an answer gives neither Yes nor No.
TEST(QtServices, ClosingAMessageBoxAnswersCancel) {
  Application::instance().setTitle("Tessaly");
  QtServices real;
  QTimer::singleShot(0, [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  EXPECT_EQ(real.messageBox("Locate it?", MsgType::Error, MsgButtons::YesNo), mrCancel);
  QTimer::singleShot(0, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
      box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(real.messageBox("Locate it?", MsgType::Error, MsgButtons::YesNo), mrYes);
}

TEST(FileDialog, TypedNamesGetTheDefaultExtensionButProgramsDoNot) {
  const struct {
    const char* path;
    const char* ext;
    const char* result;
  } cases[] = {{"/w/level", "prj", "/w/level.prj"},     {"/w/level.prj", "prj", "/w/level.prj"},
               {"/w/LEVEL.PRJ", "prj", "/w/LEVEL.PRJ"}, {"/w.d/level", "prj", "/w.d/level.prj"},
               {"/w/paint", "exe", "/w/paint"},         {"/w/a.b", "", "/w/a.b"}};
  for (const auto& c : cases) EXPECT_EQ(withDefaultExtension(c.path, c.ext), c.result) << c.path;
}

// Qt reads the patterns from the last parentheses; the dialog shows only the text before them.
TEST(FileDialog, FiltersBecomeQtFiltersAndWindowsOnlyPatternsMatchEverything) {
  EXPECT_EQ(
      qtNameFilters("Bitmaps (*.bmp)|*.bmp|Editor Executables [*.exe]|*.exe|Any File|*.*"),
      (std::vector<std::string>{"Bitmaps (*.bmp) (*.bmp)", "Editor Executables [*.exe] (*)", "Any File (*)"}));
}

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.setClientSize(400, 400);
    grid.setBounds(0, 0, 4 + 5 * 33, 4 + 4 * 33);  // border of 2, five by four cells of 32 and a line
    grid.setScrollBars(false, false);
    grid.setColCount(10);
    grid.setRowCount(10);
    grid.setDefaultColWidth(32);
    grid.setDefaultRowHeight(32);
    grid.OnSelectCell = [this](int c, int r, bool&) { selections.push_back({c, r}); };
  }
  Form form;
  StringGrid grid{form};
  std::vector<std::pair<int, int>> selections;
};

TEST_F(GridTest, CellRectanglesExcludeLinesAndAreEmptyOutOfView) {
  const Rect r = grid.cellRect(1, 2);
  EXPECT_EQ(r.left, 33);
  EXPECT_EQ(r.top, 66);
  EXPECT_EQ(r.width(), 32);
  EXPECT_TRUE(grid.cellRect(7, 0).empty());
  grid.setGridLineWidth(0);
  EXPECT_EQ(grid.cellRect(1, 2).left, 32);
}

TEST_F(GridTest, ScrollingMovesTheCellsAndTheirRectangles) {
  grid.scrollTo(3, 2);
  EXPECT_TRUE(grid.cellRect(0, 0).empty());
  EXPECT_EQ(grid.cellRect(3, 2).left, 0);
  int c = -1, r = -1;
  ASSERT_TRUE(grid.mouseToCell(40, 5, c, r));
  EXPECT_EQ(c, 4);
  EXPECT_EQ(r, 2);
}

// A scrolled grid that gets fewer cells, or a view large enough for all of them, shows its first cells.
TEST_F(GridTest, FewerCellsOrALargerViewScrollBackToTheFirstCells) {
  grid.scrollTo(5, 6);
  grid.setColCount(3);
  EXPECT_EQ(grid.leftCol(), 0);
  EXPECT_FALSE(grid.cellRect(0, 6).empty());
  grid.setRowCount(8);
  grid.setBounds(0, 0, 4 + 3 * 33, 4 + 8 * 33);
  EXPECT_EQ(grid.topRow(), 0);
  EXPECT_FALSE(grid.cellRect(0, 0).empty());
}

// All cells at once, with new counts or the same ones: every text is the one given, none of the old stays.
TEST_F(GridTest, AllCellsAtOnceTakeTheirCountsAndTexts) {
  grid.setCell(2, 3, "17");
  grid.setCells(3, 2, [](int i) { return std::to_string(10 + i); });
  EXPECT_EQ(grid.colCount(), 3);
  EXPECT_EQ(grid.rowCount(), 2);
  EXPECT_EQ(grid.cell(0, 0), "10");
  EXPECT_EQ(grid.cell(2, 0), "12");
  EXPECT_EQ(grid.cell(2, 1), "15");
  grid.setCells(3, 2, [](int i) { return i == 4 ? "x" : ""; });
  EXPECT_EQ(grid.cell(0, 0), "");
  EXPECT_EQ(grid.cell(1, 1), "x");
  grid.setCells(4, 2, [](int i) { return std::to_string(i); });
  EXPECT_EQ(grid.cell(3, 1), "7");
  EXPECT_EQ(grid.cell(1, 1), "5");
}

TEST_F(GridTest, CellTextsSurviveALargerGridAndClearing) {
  grid.setCell(2, 3, "17");
  grid.setColCount(20);
  grid.setRowCount(15);
  EXPECT_EQ(grid.cell(2, 3), "17");
  EXPECT_EQ(grid.cell(99, 99), "");
  grid.clearCells();
  EXPECT_EQ(grid.cell(2, 3), "");
}

TEST_F(GridTest, DrawCellRunsForEachVisibleCellAfterTheGridsOwnPainting) {
  int painted = 0;
  grid.OnDrawCell = [&](int, int, const Rect& r) {
    ++painted;
    grid.canvas().fillRect(r, rgb(255, 0, 0));
  };
  grid.repaint();
  EXPECT_EQ(painted, 5 * 4);
  EXPECT_EQ(grid.canvas().pixel(33, 33), rgb(255, 0, 0));
  EXPECT_NE(grid.canvas().pixel(32, 33), rgb(255, 0, 0)) << "the grid line is not part of the cell";
}

// A bar shows only while cells lie outside the view; one bar's room can push the other axis over.
TEST_F(GridTest, ScrollBarsShowOnlyWhileCellsLieOutsideTheView) {
  const struct {
    int cols, rows;
    bool h, v;
  } cases[] = {{5, 4, false, false}, {6, 3, true, false}, {4, 5, false, true},
               {6, 4, true, true},   {5, 5, true, true},  {1, 1, false, false}};
  grid.setScrollBars(true, true);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.cols) + " x " + std::to_string(c.rows));
    grid.setColCount(c.cols);
    grid.setRowCount(c.rows);
    EXPECT_EQ(grid.horizontalScrollBarShown(), c.h);
    EXPECT_EQ(grid.verticalScrollBarShown(), c.v);
    EXPECT_EQ(grid.canvas().width(), 5 * 33 - (c.v ? 16 : 0));
    EXPECT_EQ(grid.canvas().height(), 4 * 33 - (c.h ? 16 : 0));
  }
  grid.setColCount(6);
  grid.setRowCount(6);
  grid.setScrollBars(false, true);
  EXPECT_FALSE(grid.horizontalScrollBarShown()) << "a bar the grid may not have never shows";
  EXPECT_TRUE(grid.verticalScrollBarShown());
}

// The surface covers what the window leaves visible, however large the grid and its cells.
TEST_F(GridTest, TheSurfaceIsBoundedByTheVisibleAreaAndFollowsIt) {
  form.show();
  grid.setBounds(10, 20, 40000, 40000);
  grid.setColCount(1200);
  grid.setRowCount(20);
  EXPECT_EQ(grid.canvas().width(), 400 - 10 - 2);
  EXPECT_EQ(grid.canvas().height(), 400 - 20 - 2);
  EXPECT_EQ(grid.visibleColCount(), (40000 - 4 + 1) / 33) << "the view is the whole control";
  EXPECT_FALSE(grid.horizontalScrollBarShown()) << "every cell lies inside the control";
  EXPECT_FALSE(grid.cellRect(11, 0).empty());
  EXPECT_TRUE(grid.cellRect(12, 0).empty()) << "beyond the window there is nothing to paint";
  form.setClientSize(600, 500);
  EXPECT_EQ(grid.canvas().width(), 600 - 10 - 2);
  EXPECT_EQ(grid.canvas().height(), 500 - 20 - 2);
}

// The wheel moves the current row only, and parts of a notch add up; turning back starts over.
TEST_F(GridTest, TheWheelMovesTheRowByWholeNotchesAndNeverTheColumn) {
  grid.setCurrent(2, 5);
  selections.clear();
  platform::turnWheel(grid, -1);
  EXPECT_EQ(grid.row(), 6);
  for (int i = 0; i < 2; ++i) platform::turnWheelBy(grid, -40);
  EXPECT_EQ(grid.row(), 6) << "two thirds of a notch";
  platform::turnWheelBy(grid, -40);
  EXPECT_EQ(grid.row(), 7);
  platform::turnWheelBy(grid, -100);
  platform::turnWheelBy(grid, 100);
  EXPECT_EQ(grid.row(), 7) << "the part turned down was dropped when the wheel turned up";
  platform::turnWheelBy(grid, 20);
  EXPECT_EQ(grid.row(), 6);
  EXPECT_EQ(grid.col(), 2);
  grid.setRowCount(1);
  selections.clear();
  platform::turnWheel(grid, -3);
  platform::turnWheel(grid, 2);
  EXPECT_EQ(grid.col(), 2);
  EXPECT_TRUE(selections.empty()) << "a one-row grid selects nothing";
}

// A press makes the cell under the pointer current; the handler sees the view as the user did, and only
// then does a partly shown cell scroll into view, unless the grid keeps its view for the mouse.
TEST_F(GridTest, APressedPartlyShownCellScrollsIntoViewAfterTheHandler) {
  grid.setBounds(0, 0, 4 + 5 * 33 - 10, 4 + 4 * 33);  // the fifth column shows 22 of its 32 pixels
  for (bool scrolls : {true, false}) {
    SCOPED_TRACE(scrolls ? "scrolls" : "keeps its view");
    grid.scrollTo(0, 0);
    grid.setMouseScrollsIntoView(scrolls);
    GridCoord seen;
    grid.OnMouseDown = [&](MouseButton, ShiftState, int x, int y) { seen = grid.mouseCoord(x, y); };
    platform::pressMouse(grid, MouseButton::Left, 4 * 33 + 5, 5);
    EXPECT_EQ(seen, (GridCoord{4, 0}));
    EXPECT_EQ(grid.col(), 4);
    EXPECT_EQ(grid.leftCol(), scrolls ? 1 : 0);
    platform::releaseMouse(grid, MouseButton::Left, 4 * 33 + 5, 5);
  }
}

// While the grid has the focus, one dotted rectangle frames its current cell on screen, however the cell
// became current: keys, a press, a press on the current cell with the program's own rectangle drawn
// there. The canvas, which programs read back, never holds it; without the focus there is none.
TEST_F(GridTest, TheFocusedGridFramesItsCurrentCellOnceOnScreen) {
  const Color blue = rgb(0, 0, 200);
  grid.OnDrawCell = [this, blue](int, int, const Rect& r) { grid.canvas().fillRect(r, blue); };
  Edit other(form);
  other.setBounds(300, 300, 40, 21);
  form.show();
  platform::makeActive(form);
  ASSERT_TRUE(grid.widget()->hasFocus());
  const auto framed = [this] {
    std::vector<int> cols;
    for (const GridCoord& g : platform::framedCells(grid)) cols.push_back(g.row == 0 ? g.col : -1);
    return cols;
  };
  EXPECT_EQ(framed(), std::vector<int>{0});
  platform::typeKey(form, platform::Key::Right);
  platform::typeKey(form, platform::Key::Right);
  EXPECT_EQ(framed(), std::vector<int>{2});
  for (int press = 0; press < 2; ++press) {
    platform::pressMouse(grid, MouseButton::Left, 3 * 33 + 5, 5);
    grid.drawFocusRect(grid.cellRect(3, 0));  // what a program draws on a press
    platform::releaseMouse(grid, MouseButton::Left, 3 * 33 + 5, 5);
    EXPECT_EQ(framed(), std::vector<int>{3}) << "press " << press + 1;
  }
  grid.setCell(3, 0, "9");
  EXPECT_EQ(framed(), std::vector<int>{3}) << "a cell repainted for its text";
  const Rect r = grid.cellRect(3, 0);
  EXPECT_EQ(grid.canvas().pixel(r.left, r.top), blue) << "the canvas holds only what was painted";
  platform::typeKey(form, platform::Key::Tab);
  ASSERT_TRUE(platform::hasFocus(form, other));
  EXPECT_EQ(framed(), std::vector<int>{});
}

TEST(ScrollBar, KeepsItsPositionInRangeAndReportsEveryMoveAlsoWhileHidden) {
  Form form;
  ScrollBar bar(form);
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.position()); };
  bar.setMin(8);  // 0 moves up to 8
  bar.setPosition(32);
  bar.setPosition(32);   // no move, no event
  bar.setMax(20);        // 32 drops to 20
  bar.setPosition(500);  // clamped: no move from 20
  EXPECT_EQ(seen, (std::vector<int>{8, 32, 20}));
  try {
    bar.setMax(7);
    ADD_FAILURE() << "a maximum below the minimum was taken";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Scrollbar property out of range");
  }
  EXPECT_EQ(bar.max(), 20);
  // The user's move arrives through the widget as one change.
  static_cast<QScrollBar*>(bar.widget())->setValue(15);
  EXPECT_EQ(bar.position(), 15);
  EXPECT_EQ(seen.back(), 15);
}

// What a user types into an edit box is its text, as much as what the program set; a read-only box keeps
// the program's.
TEST(Edit, ItsTextIsWhatItShowsWhetherTheProgramSetItOrTheUserTypedIt) {
  Form form;
  Edit edit(form);
  const auto type = [&edit](char c) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (c - 'a'), Qt::NoModifier, QString(QChar(c)));
    QApplication::sendEvent(edit.widget(), &press);
  };
  edit.setText("ab");
  type('c');
  EXPECT_EQ(edit.text(), "abc");
  edit.setText("x");
  EXPECT_EQ(edit.text(), "x");
  edit.setReadOnly(true);
  type('d');
  EXPECT_EQ(edit.text(), "x");
}

// A bar whose range is empty has nowhere to move: its track shows no thumb, as bare as beside a thumb at
// the end of a real range.
TEST(ScrollBar, AnEmptyRangeShowsNoThumb) {
  Form form;
  ScrollBar bar(form);
  bar.setBounds(0, 0, 129, 16);
  form.show();
  bar.setMin(0);
  bar.setMax(10);
  bar.setPosition(10);
  const Bitmap bare = shownOnScreen(bar);
  bar.setMax(0);
  const Bitmap empty = shownOnScreen(bar);
  for (int x = 16; x < 64; ++x)
    for (int y = 0; y < 16; ++y) ASSERT_EQ(empty.pixel(x, y), bare.pixel(x, y)) << x << "," << y;
}

// A form of our own shown modally many times: its button's modal result ends each showing, the close box
// answers Cancel, and each showing activates the form.
TEST(ModalForm, EndsWithItsButtonOrTheCloseBoxAndCanBeShownAgain) {
  QtServices real;
  setServices(&real);
  Form dlg;
  dlg.setClientSize(200, 100);
  Button ok(dlg, "OK");
  ok.setModalResult(mrOk);
  ok.setDefault(true);
  int activations = 0;
  dlg.OnActivate = [&] { ++activations; };
  QTimer::singleShot(0, [&] { ok.click(); });
  EXPECT_EQ(dlg.showModal(), mrOk);
  QTimer::singleShot(0, [&] { dlg.window()->close(); });
  EXPECT_EQ(dlg.showModal(), mrCancel);
  QTimer::singleShot(0, [&] {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dlg.window(), &enter);
  });
  EXPECT_EQ(dlg.showModal(), mrOk);
  EXPECT_GE(activations, 3);
  EXPECT_FALSE(dlg.showing());
  setServices(nullptr);
}

// A 256-colour picture is drawn straight from its index rows, whose width need not be a multiple of 4.
TEST(Image, APaletteBitmapOfAnyWidthShowsItsColours) {
  Form f;
  f.setClientSize(40, 40);
  Image img(f);
  img.setBounds(0, 0, 5, 3);
  Bitmap b(5, 3, PixelFormat::pf8bit);
  const Color colours[] = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), clBlack, clWhite};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) b.setPixel(x, y, colours[(x + y) % 5]);
  img.setPicture(b);
  const QImage shown = img.widget()->grab().toImage();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const Color c = colours[(x + y) % 5];
      EXPECT_EQ(shown.pixel(x, y), qRgb(redOf(c), greenOf(c), blueOf(c))) << x << "," << y;
    }
}

namespace {
QImage rendered(const Control& control) {
  QImage out(control.widget()->size(), QImage::Format_RGB32);
  out.fill(Qt::black);
  control.widget()->render(&out, QPoint(), QRegion(), QWidget::DrawChildren);  // no background
  return out;
}
}  // namespace

// A shared picture is shown as it is and never changed: drawing into the control's picture draws on a copy.
TEST(Image, ASharedPictureIsShownAndNeverChanged) {
  Form form;
  Image image(form);
  image.setBounds(0, 0, 20, 10);
  auto red = std::make_shared<Bitmap>(20, 10);
  red->fillRect({0, 0, 20, 10}, rgb(255, 0, 0));
  const std::shared_ptr<const Bitmap> shared = red;
  image.setPicture(shared);
  EXPECT_EQ(&std::as_const(image).picture(), shared.get());
  EXPECT_EQ(rendered(image).pixel(5, 5), qRgb(255, 0, 0));
  image.editPicture().fillRect({0, 0, 20, 10}, rgb(0, 0, 255));
  image.repaint();
  EXPECT_EQ(rendered(image).pixel(5, 5), qRgb(0, 0, 255));
  EXPECT_EQ(shared->pixel(5, 5), rgb(255, 0, 0));
  // A picture given as a copy after that is the control's own again.
  image.setPicture(*shared);
  image.editPicture().setPixel(0, 0, rgb(0, 255, 0));
  EXPECT_EQ(shared->pixel(0, 0), rgb(255, 0, 0));
}

// Reading the picture, through a control that may be changed too, neither copies a shared picture nor
// counts as a change of it.
TEST(Image, ReadingThePictureChangesNothing) {
  Form form;
  Image image(form);
  const auto shared = std::make_shared<const Bitmap>(20, 10);
  image.setPicture(shared);
  EXPECT_EQ(&image.picture(), shared.get());
  EXPECT_EQ(image.picture().width(), 20);
  EXPECT_EQ(&image.picture(), shared.get());
}

// A picture larger than the control, painted once in part and once whole; after each change every pixel
// shows the picture again, also those painted before the change and those never painted.
TEST(Image, EachChangeShowsWhereverThePictureWasPainted) {
  Form form;
  Image image(form);
  image.setBounds(0, 0, 60, 40);
  Bitmap start(90, 50, PixelFormat::pf8bit);
  start.fillRect({0, 0, 90, 50}, rgb(255, 0, 0));
  const struct {
    const char* change;
    bool stretch;
    std::function<void(Image&)> make;
  } cases[] = {
      {"one pixel", false,
       [](Image& i) {
         i.editPicture({5, 6, 6, 7}).setPixel(5, 6, rgb(0, 0, 255));
       }},
      {"a block across the edge", false,
       [](Image& i) {
         i.editPicture({50, 30, 80, 45}).fillRect({50, 30, 80, 45}, rgb(0, 255, 0));
       }},
      {"the whole picture", false,
       [](Image& i) {
         i.editPicture().fillRect({0, 0, 90, 50}, clBlack);
       }},
      {"no pixel", false, [](Image& i) { i.editPicture(Rect{}).moveTo(3, 3); }},
      {"one pixel, stretched", true,
       [](Image& i) {
         i.editPicture({44, 24, 46, 26}).fillRect({44, 24, 46, 26}, clBlack);
       }},
      {"a new picture", false, [](Image& i) { i.setPicture(Bitmap(90, 50, PixelFormat::pf24bit)); }},
  };
  const auto expected = [&image](int x, int y) {
    const Bitmap& b = image.picture();
    const int sx = image.stretch() ? (2 * x + 1) * b.width() / (2 * image.width()) : x;
    const int sy = image.stretch() ? (2 * y + 1) * b.height() / (2 * image.height()) : y;
    const Color c = b.pixel(sx, sy);
    return qRgb(redOf(c), greenOf(c), blueOf(c));
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    image.setPicture(start);
    image.setStretch(c.stretch);
    QImage part(60, 40, QImage::Format_RGB32);
    image.widget()->render(&part, QPoint(), QRegion(0, 0, 30, 20), QWidget::DrawChildren);
    c.make(image);
    const QImage shown = rendered(image);
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x) wrong += shown.pixel(x, y) != expected(x, y);
    EXPECT_EQ(wrong, 0);
  }
}

TEST(Image, PaintsTheCurrentPictureScaledOrAt1To1) {
  Form form;
  Image image(form);
  image.setBounds(0, 0, 100, 50);
  Bitmap picture(400, 100, PixelFormat::pf8bit);
  picture.fillRect({0, 0, 200, 100}, rgb(255, 0, 0));
  picture.fillRect({200, 0, 400, 100}, rgb(0, 0, 255));
  image.setPicture(picture);
  image.setStretch(true);
  QImage shown = rendered(image);
  EXPECT_EQ(shown.pixel(49, 25), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(50, 25), qRgb(0, 0, 255));
  EXPECT_EQ(shown.pixel(99, 49), qRgb(0, 0, 255));

  // Drawing into the picture, a new picture, a new size and the end of scaling all show at the next paint.
  image.editPicture().fillRect({0, 0, 400, 100}, rgb(0, 255, 0));
  image.repaint();
  EXPECT_EQ(rendered(image).pixel(99, 0), qRgb(0, 255, 0));
  picture.fillRect({0, 0, 400, 100}, rgb(255, 255, 0));
  image.setPicture(picture);
  EXPECT_EQ(rendered(image).pixel(0, 0), qRgb(255, 255, 0));
  image.setBounds(0, 0, 120, 60);
  EXPECT_EQ(rendered(image).pixel(119, 59), qRgb(255, 255, 0));
  image.setStretch(false);
  picture = Bitmap(10, 10);
  picture.setPixel(9, 9, rgb(255, 0, 0));
  image.setPicture(picture);
  shown = rendered(image);
  EXPECT_EQ(shown.pixel(9, 9), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(10, 10), qRgb(0, 0, 0));  // outside the picture: not painted
}

TEST(Image, RepaintingALargeScaledPictureTakesAFewMilliseconds) {
  Form form;
  Image image(form);
  image.setBounds(0, 0, 249, 187);
  image.setStretch(true);
  image.setPicture(Bitmap(4096, 4096, PixelFormat::pf8bit));
  rendered(image);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) rendered(image);
  const auto each = (std::chrono::steady_clock::now() - start) / 20;
  // Converting the whole picture at every paint took 200 ms and more.
  EXPECT_LT(each, std::chrono::milliseconds(20));
}
