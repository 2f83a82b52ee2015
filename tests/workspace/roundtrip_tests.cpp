// The tile's road through a real editor program and through the real editor window.
#include <sys/stat.h>

#include "editor/pxwkwork.h"
#include "tests/support/Input.h"
#include "tests/workspace/ModifyFixture.h"

using platform::rgb;

namespace {
std::vector<std::string> lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}
}  // namespace

class RoundTripTest : public ModifyTest {
 protected:
  // The small editor built for the test, installed as the editor program of folder.
  std::string installFakeEditor(const std::string& folder) {
    fs::create_directories(folder);
    fs::copy_file(TESSALY_FAKE_EDITOR, folder + "pxwkproj", fs::copy_options::overwrite_existing);
    frm->editorFolder = frm->tempFolder = folder;
    return folder + "pxwkproj";
  }
};

TEST_F(RoundTripTest, AProgramFromAFolderWithBlanksAndShellCharactersGetsOneArgumentAndChangesTheTile) {
  addTiles(2);
  const std::string folder = home() + "/Program Files $HOME; & 'x' `id`/";
  installFakeEditor(folder);
  selectTile(1);
  ui.allowProcesses();
  frm->mnuTiles_Modify.click();
  EXPECT_EQ(lines(tileFileIn(folder) + ".args"), (std::vector<std::string>{"1", tileFileIn(folder)}));
  EXPECT_EQ(frm->imagelist1.image(1).pixel(1, 1), rgb(1, 2, 3));
  EXPECT_EQ(frm->imagelist1.image(1).pixel(2, 2), tileColor(1));
  EXPECT_EQ(frm->imagelist1.image(0).pixel(1, 1), tileColor(0));
}

TEST_F(RoundTripTest, AnInstalledProgramsFolderThatIsNotWritableStillWorks) {
  addTiles(1);
  const std::string folder = home() + "/installed/bin/";
  installFakeEditor(folder);
  chmod(folder.c_str(), 0555);
  ui.allowProcesses();
  frm->mnuTiles_Modify.click();
  chmod(folder.c_str(), 0755);
  const std::string cached = home() + "/cache/Halvorn/tlwkproj/tempbmp.bmp";
  EXPECT_EQ(lines(cached + ".args"), (std::vector<std::string>{"1", cached}));
  EXPECT_FALSE(fs::exists(tileFileIn(folder)));
  EXPECT_EQ(frm->imagelist1.image(0).pixel(0, 0), rgb(1, 2, 3));
}

TEST_F(RoundTripTest, TheEditorWindowInTileModeWritesTheTileBackInItsOwnFormat) {
  addTiles(1);
  const std::string folder = home() + "/with editor/";
  installAt(folder);
  ui.answerProcess([&](const Args& argv) {
    pxwk::TfrmMain editor({argv.begin() + 1, argv.end()});
    editor.show();
    editor.activate();
    EXPECT_TRUE(editor.tileMode);
    EXPECT_EQ(editor.grdIcon.colCount(), 32);
    EXPECT_EQ(editor.stbMain.panelText(1), "Bitmap Size= 32 x 32");
    // Magenta from the palette grid, then a freehand stroke along row 8 from column 7 to 9.
    const platform::Rect entry = editor.grdColor.cellRect(7, 24);
    platform::pressMouse(editor.grdColor, platform::MouseButton::Left, entry.left + 6, entry.top + 6);
    platform::releaseMouse(editor.grdColor, platform::MouseButton::Left, entry.left + 6, entry.top + 6);
    editor.cmdDraw.click();
    const auto at = [](int cell) { return cell * 5 + 2; };
    platform::pressMouse(editor.grdIcon, platform::MouseButton::Left, at(7), at(8));
    for (int col = 7; col <= 9; ++col) platform::moveMouse(editor.grdIcon, at(col), at(8), true);
    platform::releaseMouse(editor.grdIcon, platform::MouseButton::Left, at(9), at(8));
    editor.mnuFile_Exit.click();
    EXPECT_FALSE(editor.showing());
  });
  frm->mnuTiles_Modify.click();
  const platform::Bitmap written = platform::loadBmpFile(tileFileIn(folder));
  EXPECT_EQ(written.pixelFormat(), platform::PixelFormat::pf24bit);
  EXPECT_EQ(written.width(), 32);
  for (int col = 7; col <= 9; ++col) EXPECT_EQ(frm->imagelist1.image(0).pixel(col, 8), rgb(255, 0, 255)) << col;
  EXPECT_EQ(frm->imagelist1.image(0).pixel(10, 8), tileColor(0));
  EXPECT_EQ(frm->imagelist1.image(0).pixel(0, 0), tileColor(0));
}
