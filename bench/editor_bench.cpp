// The editor as Modify meets it: the window's start in tile mode up to idle, and a full RedrawGrid of a
// 100 x 100 document at each zoom, both with the control left at its x1 size and with it sized for the zoom
// by New, where every cell is in the grid's view. Then the drawing tools: one drag step of each rubber band
// through a real mouse event, and the Fill tool on a 1000 x 1000 bitmap opened in standalone mode.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/pxwkwork.h"
#include "platform/bitmap/BmpFile.h"
#include "platform/controls/Application.h"
#include "platform/dialogs/QtServices.h"
#include "tests/support/Input.h"

namespace {

std::string tilePath() {
  static const std::string path = [] {
    const std::string p = "/tmp/tessaly-bench-tile.bmp";
    platform::Bitmap b(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) b.setPixel(x, y, platform::rgb(x * 8, y * 8, 128));
    platform::saveBmpFile(p, b);
    return p;
  }();
  return path;
}

void BM_EditorStartInTileMode(benchmark::State& state) {
  for (auto _ : state) {
    pxwk::TfrmMain frmMain({tilePath()});
    frmMain.show();
    frmMain.activate();
    platform::Application::instance().processMessages();
    state.PauseTiming();
    frmMain.OnClose = nullptr;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EditorStartInTileMode)->Unit(benchmark::kMillisecond);

platform::MenuItem& zoomItem(pxwk::TfrmMain& f, int level) {
  platform::MenuItem* items[] = {&f.mnuBitmap_Zoom_X1, &f.mnuBitmap_Zoom_X2, &f.mnuBitmap_Zoom_X4,
                                 &f.mnuBitmap_Zoom_X8};
  return *items[level];
}

// Argument 0: zoom level (0 to 3); argument 1: 1 when New sizes the control at that zoom.
void BM_RedrawGrid100x100(benchmark::State& state) {
  pxwk::TfrmMain frmMain({});
  frmMain.show();
  frmMain.activate();
  if (state.range(1)) {
    zoomItem(frmMain, static_cast<int>(state.range(0))).click();
    frmMain.NewFile.click();
  } else {
    frmMain.NewFile.click();
    zoomItem(frmMain, static_cast<int>(state.range(0))).click();
  }
  for (auto _ : state) frmMain.RedrawGrid();
  int shown = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) shown += !frmMain.grdIcon.cellRect(x, y).empty();
  state.counters["cells_in_view"] = shown;
  state.counters["grid_px"] = frmMain.grdIcon.width();
}
BENCHMARK(BM_RedrawGrid100x100)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->ArgNames({"zoom", "sized"})
    ->Unit(benchmark::kMicrosecond);

// Argument: 0 line, 1 ellipse, 2 rectangle, 3 selection marquee. The pointer alternates between two cells
// far apart, so every step erases one long band and traces another; a full repaint costs
// BM_RedrawGrid100x100.
void BM_DragStep100x100(benchmark::State& state) {
  pxwk::TfrmMain frmMain({});
  frmMain.show();
  frmMain.activate();
  frmMain.NewFile.click();
  platform::SpeedButton* tools[] = {&frmMain.cmdLine, &frmMain.cmdCircle, &frmMain.cmdBox, &frmMain.cmdPoint};
  tools[state.range(0)]->click();
  const auto at = [](int cell) { return cell * 5 + 2; };
  platform::pressMouse(frmMain.grdIcon, platform::MouseButton::Left, at(50), at(50));
  bool far = false;
  for (auto _ : state) {
    far = !far;
    platform::moveMouse(frmMain.grdIcon, at(far ? 99 : 1), at(far ? 97 : 3), true);
  }
  state.counters["band_cells"] = frmMain.pointBuffer.count();
  platform::releaseMouse(frmMain.grdIcon, platform::MouseButton::Left, at(1), at(3));
}
BENCHMARK(BM_DragStep100x100)->DenseRange(0, 3)->ArgName("tool")->Unit(benchmark::kMicrosecond);

// Answers the Open dialog with one file; everything else is the real thing.
struct OpenWith : platform::QtServices {
  std::string path;
  std::optional<std::string> fileDialog(const platform::FileDialogRequest&) override { return path; }
};

std::string sheetPath(platform::PixelFormat format) {
  const std::string p = "/tmp/tessaly-bench-1000-" + std::to_string(platform::bitsPerPixelOf(format)) + ".bmp";
  platform::saveBmpFile(p, platform::Bitmap(1000, 1000, format));
  return p;
}

// Argument 0: bits per pixel of the file (8 or 24); argument 1: 1 for the whole press with Fill (snapshot,
// fill, full repaint of the 1000 x 1000 grid), 0 for the flood fill of the working image alone. Each round
// fills the whole white (then red, then white) bitmap.
void BM_FloodFill1000x1000(benchmark::State& state) {
  const auto format = state.range(0) == 8 ? platform::PixelFormat::pf8bit : platform::PixelFormat::pf24bit;
  OpenWith answers;
  answers.path = sheetPath(format);
  platform::setServices(&answers);
  pxwk::TfrmMain frmMain({});
  frmMain.show();
  frmMain.activate();
  frmMain.OpenFile.click();
  platform::setServices(nullptr);
  frmMain.cmdPaint.click();
  frmMain.paletteTable[0] = platform::rgb(255, 0, 0);
  frmMain.rightColour = platform::clWhite;
  bool red = false;
  for (auto _ : state) {
    red = !red;
    frmMain.leftColour = red ? platform::rgb(255, 0, 0) : platform::clWhite;
    if (state.range(1)) {
      platform::pressMouse(frmMain.grdIcon, platform::MouseButton::Left, 2, 2);
      state.PauseTiming();
      platform::releaseMouse(frmMain.grdIcon, platform::MouseButton::Left, 2, 2);
      frmMain.ImgListUndo.reset(1000, 1000);
      state.ResumeTiming();
    } else {
      frmMain.workingImage().floodFillSurface(500, 500, frmMain.leftColour);
    }
  }
  if (frmMain.workingImage().pixel(999, 999) != frmMain.leftColour) state.SkipWithError("the fill fell short");
  state.counters["px"] = frmMain.workingImage().width();
}
BENCHMARK(BM_FloodFill1000x1000)
    ->ArgsProduct({{8, 24}, {0, 1}})
    ->ArgNames({"bpp", "press"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  app.setTitle("Pixandra");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
