// The editor's window as rendered: at start, with a tile, and with files small and large at each zoom.
#include "tests/editor/EditorFixture.h"
#include "tests/screen/ScreenExpect.h"

using platform::PixelFormat;

namespace {

class EditorScreen : public EditorTest {
 protected:
  std::vector<std::pair<platform::MenuItem*, std::string>> zooms() {
    return {{&frm->mnuBitmap_Zoom_X1, "x1"},
            {&frm->mnuBitmap_Zoom_X2, "x2"},
            {&frm->mnuBitmap_Zoom_X4, "x4"},
            {&frm->mnuBitmap_Zoom_X8, "x8"}};
  }
  // A 256-colour file using all its colours, written by index so that a large one stays cheap.
  static std::string file(int size) {
    platform::Bitmap b(size, size, PixelFormat::pf8bit);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) b.setIndex(x, y, static_cast<std::uint8_t>(x ^ y));
    const std::string path = scratch() + "doc" + std::to_string(size) + ".bmp";
    platform::saveBmpFile(path, b);
    return path;
  }
};

}  // namespace

TEST_F(EditorScreen, AtStartAndWithATileAtEachZoom) {
  start();
  expectWhole(*frm, "editor at start");
  frm.reset();
  start({file(16)});
  EXPECT_EQ(frm->stbMain.panelText(0), "Colors=256");
  EXPECT_EQ(frm->stbMain.panelText(1), "Bitmap Size= 16 x 16");
  for (const auto& [item, name] : zooms()) {
    item->click();
    expectWhole(*frm, "16 x 16 tile at " + name);
  }
}

// Each file is opened with the zoom already chosen, so the set-up sizes the grid for that zoom.
TEST_F(EditorScreen, FilesSmallAndLargeOpenedAtEachZoom) {
  start();
  for (const int size : {100, 1000}) {
    const std::string path = file(size);
    for (const auto& [item, name] : zooms()) {
      item->click();
      ui.answerFile(path);
      frm->OpenFile.click();
      EXPECT_EQ(frm->stbMain.panelText(1),
                "Bitmap Size= " + std::to_string(size) + " x " + std::to_string(size));
      expectWhole(*frm, std::to_string(size) + " x " + std::to_string(size) + " file at " + name);
    }
  }
}
