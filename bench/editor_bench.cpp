// The editor as Modify meets it: the window's start in tile mode up to idle, and a full RedrawGrid of a
// 100 x 100 document at each zoom, both with the control left at its x1 size and with it sized for the zoom
// by New, where every cell is in the grid's view.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/pxwkwork.h"
#include "platform/bitmap/BmpFile.h"
#include "platform/controls/Application.h"

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

}  // namespace

int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  app.setTitle("Pixandra");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
