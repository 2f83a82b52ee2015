// The workspace window, its import dialog and its about box as rendered, in the states a user meets.
#include <QApplication>
#include <QWidget>

#include "components/HalvornAbout.h"
#include "platform/controls/Application.h"
#include "tests/screen/ScreenExpect.h"
#include "tests/workspace/WorkspaceFixture.h"

using platform::Control;
using platform::mrOk;
using platform::mrYes;

namespace {

class WorkspaceScreen : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    writeConf("Startup=nostartup\n");
    start();
  }

  // Imports a w x h sheet cut into tiles of `tile` pixels, as many across and down as fit (tile 0: the
  // dialog's own start values); the dialog is checked as it opens and as it is left.
  void import(int w, int h, int tile) {
    // A white sheet: what the tiles show does not matter here, and a quarter-million tiles stay cheap.
    const std::string sheet = scratch() + "sheet" + std::to_string(w) + ".bmp";
    platform::saveBmpFile(sheet, platform::Bitmap(w, h, platform::PixelFormat::pf8bit));
    ui.answerMessage(mrYes).answerFile(sheet);
    ui.answerModal([this, tile](platform::Form&) {
      dialog = expectWhole(*imp, "import dialog");
      if (tile == 0) return mrOk;
      imp->hsbTileWidth.setPosition(tile);
      imp->hsbTileHeight.setPosition(tile);
      imp->hsbTilesAcross.setPosition(imp->hsbTilesAcross.max());
      imp->hsbTilesDown.setPosition(imp->hsbTilesDown.max());
      expectWhole(*imp, "import dialog set to " + std::to_string(tile) + " pixel tiles");
      return mrOk;
    });
    ui.answerMessage(mrYes);
    frm->mnuFile_import.click();
  }

  platform::ScreenReport dialog;
};

}  // namespace

TEST_F(WorkspaceScreen, EmptyWithAndWithoutTheAnimationPanel) {
  expectWhole(*frm, "empty workspace");
  frm->mnuAnimation_Animate.click();
  ASSERT_TRUE(frm->panAnimate.visible());
  expectWhole(*frm, "empty workspace, animation panel shown");
}

TEST_F(WorkspaceScreen, ImportsOfEverySizeAndTheirDialog) {
  const struct {
    int w, h, tile;
    const char* grid;
    const char* images;
  } cases[] = {{256, 128, 0, "Grid Size: 4x2", "Num of images: 8"},
               {640, 480, 32, "Grid Size: 20x15", "Num of images: 300"},
               {4096, 4096, 8, "Grid Size: 512x512", "Num of images: 262144"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.images);
    import(c.w, c.h, c.tile);
    EXPECT_EQ(frm->StatusBar.panelText(0), c.grid);
    EXPECT_EQ(frm->StatusBar.panelText(1), c.images);
    expectWhole(*frm, std::string("workspace after the import: ") + c.images);
  }
  frm->mnuAnimation_Animate.click();
  expectWhole(*frm, "262144 tiles, animation panel shown");
}

TEST_F(WorkspaceScreen, TheImportDialogIsWorkedByKeyboardInItsLaidOutOrder) {
  import(256, 128, 0);
  const std::vector<const Control*> order = {&imp->hsbTileWidth,   &imp->hsbTileHeight, &imp->hsbTilesAcross,
                                             &imp->hsbTilesDown,   &imp->txtTileWidth,  &imp->txtTileHeight,
                                             &imp->txtTilesAcross, &imp->txtTilesDown,  &imp->cmdOK};
  EXPECT_EQ(dialog.firstFocus, &imp->hsbTileWidth);
  EXPECT_EQ(dialog.tabOrder, order);
}

TEST_F(WorkspaceScreen, TheAboutBoxShowsWholeAndItsOkTakesTheFirstFocus) {
  platform::ScreenReport about;
  const Control* ok = nullptr;
  ui.answerModal([&](platform::Form& f) {
    about = expectWhole(f, "about box");
    ok = &dynamic_cast<components::TAbout&>(f).OkButton;
    return mrOk;
  });
  frm->About1.click();
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(about.firstFocus, ok);
  EXPECT_EQ(about.tabOrder, std::vector<const Control*>{ok});
}

// The import dialog and the about box stand with their frames in the middle of the screen from their first
// showing on, and again at the next.
TEST_F(WorkspaceScreen, TheImportDialogAndTheAboutBoxStandInTheMiddleOfTheScreenAtEachShowing) {
  const platform::Application& app = platform::Application::instance();
  const auto expectCentred = [&](platform::Form& f, const std::string& which) {
    f.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const QRect outer = f.window()->frameGeometry();
    EXPECT_NE(outer, f.window()->geometry()) << which << ": the window has a frame";
    EXPECT_EQ(f.screenLeft(), (app.screenWidth() - outer.width()) / 2) << which;
    EXPECT_EQ(f.screenTop(), (app.screenHeight() - outer.height()) / 2) << which;
    f.window()->hide();
    return mrOk;
  };
  const std::string sheet = scratch() + "placed.bmp";
  platform::saveBmpFile(sheet, platform::Bitmap(256, 128, platform::PixelFormat::pf8bit));
  for (const char* showing : {"first import", "second import"}) {
    ui.answerMessage(mrYes).answerFile(sheet);
    ui.answerModal([&](platform::Form& f) { return expectCentred(f, showing); });
    ui.answerMessage(mrYes);
    frm->mnuFile_import.click();
  }
  for (const char* showing : {"first about box", "second about box"}) {
    ui.answerModal([&](platform::Form& f) { return expectCentred(f, showing); });
    frm->About1.click();
  }
}
