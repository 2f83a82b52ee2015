#include <utility>

#include "tests/support/Input.h"
#include "tests/workspace/TileHelpers.h"

using platform::mrNo;
using platform::mrOk;
using platform::mrYes;
using platform::PixelFormat;
using testing_support::CallKind;
using Cells = std::vector<std::string>;

namespace {
const char* const kClearQuestion = "This will clear any existing work.\rDo you wish to continue?";
}

class ImportTest : public TilesTest {
 protected:
  void SetUp() override {
    TilesTest::SetUp();
    start();
  }
  // A sheet whose pixel colour tells its position: each 8 x 8 block has its own colour.
  std::string sheet(int w, int h, PixelFormat format = PixelFormat::pf8bit) {
    return bitmapFile("sheet.bmp", w, h, format, [](int x, int y) { return blockColor(x / 8, y / 8); });
  }
  static platform::Color blockColor(int bx, int by) { return platform::palette332()[(bx * 7 + by * 29) % 256]; }

  // Scripts the question and the file; the dialog passes run `passes` in order, the last answered Yes.
  void scriptImport(const std::string& file, std::vector<std::function<void(tlwk::TfrmImport&)>> passes) {
    ui.answerMessage(mrYes).answerFile(file);
    for (std::size_t i = 0; i < passes.size(); ++i) {
      auto pass = passes[i];
      ui.answerModal([this, pass](platform::Form&) {
        pass(*imp);
        return mrOk;
      });
      ui.answerMessage(i + 1 == passes.size() ? mrYes : mrNo);
    }
  }
  static void leave(tlwk::TfrmImport&) {}
};

TEST_F(ImportTest, A256By128SheetIsCutIntoEightTilesInReadingOrder) {
  int across = 0, acrossMax = 0, down = 0, downMax = 0;
  scriptImport(sheet(256, 128), {[&](tlwk::TfrmImport& d) {
                 EXPECT_EQ(d.hsbTileWidth.position(), 32);
                 EXPECT_EQ(d.hsbTileHeight.position(), 32);
                 across = d.hsbTilesAcross.position();
                 acrossMax = d.hsbTilesAcross.max();
                 down = d.hsbTilesDown.position();
                 downMax = d.hsbTilesDown.max();
                 EXPECT_EQ(d.txtTilesAcross.text(), "4");
                 EXPECT_EQ(d.lblImportX.caption(), "Bitmap Width: 256");
                 EXPECT_EQ(d.lblImportY.caption(), "Bitmap Height: 128");
                 EXPECT_EQ(d.imgTile.picture().width(), 32);
                 EXPECT_EQ(d.imgTile.picture().pixel(9, 1), blockColor(1, 0))
                     << "the tile view shows the first tile";
                 EXPECT_EQ(&std::as_const(d.imgPreview).picture(), frm->importedBitmap.get())
                     << "the preview shows the sheet itself, not a copy of it";
               }});
  frm->mnuFile_import.click();
  EXPECT_EQ(ui.calls()[0].text, kClearQuestion);
  EXPECT_EQ(ui.calls()[0].type, platform::MsgType::Warning);
  EXPECT_EQ(across, 4);
  EXPECT_EQ(acrossMax, 8);
  EXPECT_EQ(down, 2);
  EXPECT_EQ(downMax, 4);
  EXPECT_EQ(imp->lblFilename.caption(), "Imported Filename: " + scratch() + "sheet.bmp");
  ASSERT_EQ(frm->imagelist1.count(), 8);
  EXPECT_EQ(frm->grdImage.colCount(), 4);
  EXPECT_EQ(frm->grdImage.rowCount(), 2);
  EXPECT_EQ(cells(4), (Cells{"0", "1", "2", "3"}));
  EXPECT_EQ(frm->grdImage.cell(0, 1), "4");
  EXPECT_EQ(frm->grdImage.cell(3, 1), "7");
  EXPECT_EQ(frm->grdImageList.cell(7, 0), "7");
  // Tile 5 is the sheet's rectangle from (32, 32): its 8 x 8 blocks (4, 4) to (7, 7).
  const platform::Bitmap t5 = frm->imagelist1.image(5);
  EXPECT_EQ(t5.pixel(0, 0), blockColor(4, 4));
  EXPECT_EQ(t5.pixel(31, 31), blockColor(7, 7));
  EXPECT_EQ(shown(1, 1), blockColor(4, 4));
  EXPECT_TRUE(frm->grdImage.visible());
  EXPECT_EQ(frm->StatusBar.panelText(0), "Grid Size: 4x2");
  EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 8");
  EXPECT_EQ(frm->StatusBar.panelText(2), "Project: ");
  EXPECT_EQ(ui.callsOf(CallKind::Message).back().text, "Do the available tiles appear to be correct?");
  EXPECT_EQ(ui.callsOf(CallKind::Message).back().type, platform::MsgType::Confirmation);
}

TEST_F(ImportTest, AWindowGivenNoDialogBuildsItsOwnAtTheFirstImportAndKeepsIt) {
  frm->frmImport = nullptr;
  imp.reset();
  std::vector<tlwk::TfrmImport*> shownDialogs;
  ui.answerMessage(mrYes).answerFile(sheet(256, 128));
  ui.answerModal([&](platform::Form& f) {
    auto* d = dynamic_cast<tlwk::TfrmImport*>(&f);
    shownDialogs.push_back(d);
    if (d) d->hsbTileWidth.setPosition(64);
    return mrOk;
  });
  ui.answerMessage(mrYes);
  frm->mnuFile_import.click();
  ASSERT_EQ(shownDialogs.size(), 1u);
  ASSERT_NE(shownDialogs[0], nullptr);
  EXPECT_EQ(frm->frmImport, shownDialogs[0]);
  EXPECT_EQ(frm->imagelist1.count(), 2 * 4) << "64 x 32 tiles of the 256 x 128 sheet";
  ui.answerMessage(mrYes).answerFile(sheet(256, 128));
  ui.answerModal([&](platform::Form& f) {
    shownDialogs.push_back(dynamic_cast<tlwk::TfrmImport*>(&f));
    return mrOk;
  });
  ui.answerMessage(mrYes);
  frm->mnuFile_import.click();
  ASSERT_EQ(shownDialogs.size(), 2u);
  EXPECT_EQ(shownDialogs[1], shownDialogs[0]) << "the second import reuses the dialog";
}

TEST_F(ImportTest, CountsFollowTheTileSizeAndDropOnlyWhenAboveTheNewMaximum) {
  scriptImport(sheet(256, 128), {[](tlwk::TfrmImport& d) {
                 d.hsbTileWidth.setPosition(16);
                 EXPECT_EQ(d.hsbTilesAcross.max(), 16);
                 EXPECT_EQ(d.hsbTilesAcross.position(), 4);
                 EXPECT_EQ(d.txtTileWidth.text(), "16");
                 d.hsbTileWidth.setPosition(100);
                 EXPECT_EQ(d.hsbTilesAcross.max(), 2);
                 EXPECT_EQ(d.hsbTilesAcross.position(), 2);
                 EXPECT_EQ(d.txtTilesAcross.text(), "2");
               }});
  frm->mnuFile_import.click();
  EXPECT_EQ(frm->imagelist1.count(), 2 * 2);
  EXPECT_EQ(frm->imagelist1.width(), 100);
}

TEST_F(ImportTest, StartValuesForNarrowAndTinySheets) {
  const struct {
    int w, h;
    int tileW, acrossMax, across;
  } cases[] = {{100, 64, 32, 3, 1}, {32, 32, 32, 1, 1}, {20, 12, 20, 1, 1}, {8, 8, 8, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    scriptImport(sheet(c.w, c.h), {[&](tlwk::TfrmImport& d) {
                   EXPECT_EQ(d.hsbTileWidth.position(), c.tileW);
                   EXPECT_LE(d.hsbTileWidth.max(), c.w);
                   EXPECT_EQ(d.hsbTilesAcross.max(), c.acrossMax);
                   EXPECT_EQ(d.hsbTilesAcross.position(), c.across);
                 }});
    frm->mnuFile_import.click();
    EXPECT_EQ(frm->imagelist1.count(), 1);
    EXPECT_LE(frm->imagelist1.width(), c.w);
    EXPECT_LE(frm->imagelist1.height(), c.h);
    ui.clear();
  }
}

TEST_F(ImportTest, RefusedFilesShowTheirMessagesSizeFirstAndTheDialogOpensAgain) {
  const struct {
    int w, h;
    PixelFormat format;
    Cells messages;
  } cases[] = {
      {7, 40, PixelFormat::pf8bit, {"Bitmap should be 8 pixels or greater in width/height"}},
      {40, 40, PixelFormat::pf24bit, {"Imported image must be have 256 colors or less"}},
      {40, 40, PixelFormat::pf1bit, {"Imported image must be have 256 colors or less"}},
      {7,
       40,
       PixelFormat::pf24bit,
       {"Bitmap should be 8 pixels or greater in width/height",
        "Imported image must be have 256 colors or less"}},
  };
  for (const auto& c : cases) {
    ui.answerMessage(mrYes).answerFile(sheet(c.w, c.h, c.format));
    for (std::size_t i = 0; i < c.messages.size(); ++i) ui.answerMessage(mrOk);
    ui.answerFile(std::nullopt);
    frm->mnuFile_import.click();
    Cells expected{kClearQuestion};
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(ui.messages(), expected);
    EXPECT_EQ(ui.callsOf(CallKind::FileDialog).size(), 2u);
    EXPECT_EQ(frm->StatusBar.panelText(2), "Project: No file name") << "cancel leaves the cleared workspace";
    ui.clear();
  }
}

TEST_F(ImportTest, DecliningTheQuestionKeepsTheWork) {
  addTiles(2);
  ui.answerMessage(mrNo);
  frm->mnuFile_import.click();
  ui.answerMessage(platform::mrCancel);
  frm->tlbImport.click();
  EXPECT_EQ(frm->imagelist1.count(), 2);
}

TEST_F(ImportTest, ANoToTheConfirmationReopensTheDialogWithItsValuesAndRecuts) {
  scriptImport(sheet(256, 128), {leave, [](tlwk::TfrmImport& d) {
                                   EXPECT_EQ(d.hsbTilesAcross.position(), 4) << "the dialog keeps its values";
                                   d.hsbTilesAcross.setPosition(8);
                                 }});
  frm->mnuFile_import.click();
  EXPECT_EQ(frm->imagelist1.count(), 8 * 2);
  EXPECT_EQ(frm->grdImage.colCount(), 8);
  EXPECT_EQ(frm->grdImage.cell(7, 1), "15");
  EXPECT_EQ(shown(7, 0), blockColor(7 * 4, 0));
}

TEST_F(ImportTest, AFourBitSheetIsAcceptedAndItsTilesTakeTheListsFormat) {
  scriptImport(sheet(64, 64, PixelFormat::pf4bit), {leave});
  frm->mnuFile_import.click();
  EXPECT_EQ(frm->imagelist1.count(), 1);
  EXPECT_EQ(frm->imagelist1.image(0).bitsPerPixel(), 24);
}

TEST_F(ImportTest, AnUnreadableFileEndsTheImportWithTheErrorBox) {
  addTiles(1);
  const std::string junk = scratch() + "junk.bmp";
  std::ofstream(junk) << "BM but nothing more";
  ui.answerMessage(mrYes).answerFile(junk).acknowledge();
  frm->mnuFile_import.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).size(), 1u);
  EXPECT_EQ(frm->imagelist1.count(), 0) << "the work was cleared before the file was read";
  EXPECT_FALSE(frm->grdImage.visible());
}

TEST_F(ImportTest, ThePictureDialogStartsNextTimeInTheChosenFilesFolder) {
  scriptImport(sheet(64, 64), {leave});
  frm->mnuFile_import.click();
  ui.answerFile(std::nullopt);
  frm->mnuTiles_Add.click();
  EXPECT_EQ(ui.callsOf(CallKind::FileDialog).back().file.initialDir, scratch());
}

// The dialog worked with the keyboard alone, through real key events: focus starts on the tile width,
// Tab walks the bars, the edit boxes and OK in that order, and Home, End and Enter finish the job.
TEST_F(ImportTest, TheDialogIsWorkedWithTheKeyboardAlone) {
  using platform::hasFocus;
  using platform::Key;
  const auto pressKey = [](platform::Form& f, Key k) { platform::typeKey(f, k); };
  scriptImport(sheet(640, 480), {[&](tlwk::TfrmImport& d) {
                 d.show();
                 EXPECT_TRUE(hasFocus(d, d.hsbTileWidth));
                 const std::vector<const platform::Control*> order{
                     &d.hsbTileHeight,  &d.hsbTilesAcross, &d.hsbTilesDown, &d.txtTileWidth, &d.txtTileHeight,
                     &d.txtTilesAcross, &d.txtTilesDown,   &d.cmdOK,        &d.hsbTileWidth};
                 for (const platform::Control* next : order) {
                   pressKey(d, Key::Tab);
                   EXPECT_TRUE(hasFocus(d, *next));
                 }
                 pressKey(d, Key::Home);
                 pressKey(d, Key::Tab);
                 pressKey(d, Key::Home);
                 pressKey(d, Key::Tab);
                 pressKey(d, Key::End);
                 pressKey(d, Key::Tab);
                 pressKey(d, Key::End);
                 EXPECT_EQ(d.txtTileWidth.text(), "8");
                 EXPECT_EQ(d.txtTilesAcross.text(), "80");
                 EXPECT_EQ(d.txtTilesDown.text(), "60");
                 pressKey(d, Key::Enter);
                 EXPECT_EQ(d.modalResult(), mrOk);
                 d.hide();
               }});
  frm->mnuFile_import.click();
  EXPECT_EQ(frm->imagelist1.count(), 4800);
  EXPECT_EQ(frm->StatusBar.panelText(0), "Grid Size: 80x60");
  EXPECT_EQ(frm->StatusBar.panelText(1), "Num of images: 4800");
}

// Every showing of the dialog starts on the tile width, not on OK where the last one was left: the same
// keys give the same 8 x 8 tiles each time.
TEST_F(ImportTest, EveryShowingOfTheDialogStartsOnTheTileWidth) {
  using platform::Key;
  const auto pass = [](tlwk::TfrmImport& d) {
    d.show();
    EXPECT_TRUE(platform::hasFocus(d, d.hsbTileWidth));
    for (Key k : {Key::Home, Key::Tab, Key::Home, Key::Tab, Key::End, Key::Tab, Key::End})
      platform::typeKey(d, k);
    while (!platform::hasFocus(d, d.cmdOK)) platform::typeKey(d, Key::Tab);
    platform::typeKey(d, Key::Enter);
    d.hide();
  };
  for (int import = 1; import <= 2; ++import) {
    SCOPED_TRACE("import " + std::to_string(import));
    scriptImport(sheet(640, 480), {pass, pass});
    frm->mnuFile_import.click();
    EXPECT_EQ(frm->imagelist1.width(), 8);
    EXPECT_EQ(frm->imagelist1.height(), 8);
    EXPECT_EQ(frm->imagelist1.count(), 4800);
  }
}

// The work space shows a scroll bar only while cells lie outside it.
TEST_F(ImportTest, TheWorkSpaceShowsScrollBarsOnlyForCellsOutsideIt) {
  const struct {
    int w, h, tile, cols, rows;
    bool bars;
  } cases[] = {{256, 128, 32, 4, 2, false}, {640, 480, 8, 80, 60, true}};
  for (const auto& c : cases) {
    scriptImport(sheet(c.w, c.h), {[&](tlwk::TfrmImport& d) {
                   d.hsbTileWidth.setPosition(c.tile);
                   d.hsbTileHeight.setPosition(c.tile);
                   d.hsbTilesAcross.setPosition(c.cols);
                   d.hsbTilesDown.setPosition(c.rows);
                 }});
    frm->mnuFile_import.click();
    ASSERT_EQ(frm->grdImage.colCount(), c.cols);
    ASSERT_EQ(frm->grdImage.rowCount(), c.rows);
    EXPECT_EQ(frm->grdImage.horizontalScrollBarShown(), c.bars);
    EXPECT_EQ(frm->grdImage.verticalScrollBarShown(), c.bars);
  }
}
