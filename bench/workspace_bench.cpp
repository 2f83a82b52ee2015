// Import of a 4096 x 4096 256-colour sheet cut into 8 x 8 tiles: the decode, the cut from the dialog's OK
// to the confirmation question, and a full repaint of the visible work space. Run through bench/run,
// which also times Pillow on the same file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/bitmap/BmpFile.h"
#include "platform/controls/Application.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/QtServices.h"
#include "workspace/Tlwkimpo.h"
#include "workspace/Tlwkmain.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string sheetPath() {
  const char* p = std::getenv("TESSALY_BENCH_SHEET");
  return p ? p : "/tmp/tessaly-bench-sheet.bmp";
}

void ensureSheet() {
  platform::Bitmap b(4096, 4096, platform::PixelFormat::pf8bit);
  for (int y = 0; y < b.height(); ++y) {
    std::uint8_t* row = b.indexRow(y);
    for (int x = 0; x < b.width(); ++x) row[x] = static_cast<std::uint8_t>((x / 8 * 7 + y / 8 * 13 + x) & 0xFF);
  }
  platform::saveBmpFile(sheetPath(), b);
}

// Answers every question Yes and the picture dialog with the sheet; times the dialog-to-question span.
class BenchServices : public platform::QtServices {
 public:
  Clock::time_point dialogClosed, questionAsked;
  platform::ModalResult messageBox(const std::string& text, platform::MsgType, platform::MsgButtons) override {
    if (text == "Do the available tiles appear to be correct?") questionAsked = Clock::now();
    return platform::mrYes;
  }
  void exceptionBox(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
  std::optional<std::string> fileDialog(const platform::FileDialogRequest& r) override {
    if (r.title == "Save Bitmap File") return sheetPath() + ".export.bmp";
    return sheetPath();
  }
  platform::ModalResult showModal(platform::Form& form) override {
    auto& dlg = static_cast<tlwk::TfrmImport&>(form);
    dlg.hsbTileWidth.setPosition(8);
    dlg.hsbTileHeight.setPosition(8);
    dlg.hsbTilesAcross.setPosition(dlg.hsbTilesAcross.max());
    dlg.hsbTilesDown.setPosition(dlg.hsbTilesDown.max());
    dialogClosed = Clock::now();
    return platform::mrOk;
  }
};

struct Workspace {
  BenchServices services;
  tlwk::TfrmMain frmMain;
  tlwk::TfrmImport frmImport{frmMain};
  Workspace() {
    platform::setServices(&services);
    frmMain.frmImport = &frmImport;
    frmMain.show();
  }
  ~Workspace() { platform::setServices(nullptr); }
};

void BM_DecodeSheet(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::loadBmpFile(sheetPath()));
}
BENCHMARK(BM_DecodeSheet)->Unit(benchmark::kMillisecond);

void BM_CutSheetInto8x8Tiles(benchmark::State& state) {
  Workspace w;
  for (auto _ : state) {
    w.frmMain.mnuFile_import.click();
    state.SetIterationTime(std::chrono::duration<double>(w.services.questionAsked - w.services.dialogClosed).count());
  }
  if (w.frmMain.imagelist1.count() != 512 * 512) state.SkipWithError("the cut did not give 262,144 tiles");
  state.counters["tiles"] = w.frmMain.imagelist1.count();
}
BENCHMARK(BM_CutSheetInto8x8Tiles)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RepaintVisibleWorkSpace(benchmark::State& state) {
  Workspace w;
  w.frmMain.mnuFile_import.click();
  for (auto _ : state) w.frmMain.grdImage.repaint();
}
BENCHMARK(BM_RepaintVisibleWorkSpace)->Unit(benchmark::kMicrosecond);

void BM_ScrollWorkSpace(benchmark::State& state) {
  Workspace w;
  w.frmMain.mnuFile_import.click();
  int left = 0;
  for (auto _ : state) {
    left = (left + 7) % 400;
    w.frmMain.grdImage.scrollTo(left, left);
  }
}
BENCHMARK(BM_ScrollWorkSpace)->Unit(benchmark::kMicrosecond);

std::string projectPath() { return sheetPath() + ".prj"; }

// A project of 262,144 tiles of 8 x 8 with a 512 x 512 work space.
void BM_SaveProject(benchmark::State& state) {
  Workspace w;
  w.frmMain.mnuFile_import.click();
  w.frmMain.projectName = projectPath();
  for (auto _ : state) w.frmMain.mnuFile_SaveClick();
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadProject(benchmark::State& state) {
  Workspace w;
  w.frmMain.mnuFile_import.click();
  w.frmMain.projectName = projectPath();
  w.frmMain.mnuFile_SaveClick();
  for (auto _ : state) {
    w.frmMain.cdlOpenFile.setFileName(projectPath());
    w.frmMain.LoadProject();
  }
  if (w.frmMain.imagelist1.count() != 512 * 512) state.SkipWithError("the load did not give 262,144 tiles");
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportSheet(benchmark::State& state) {
  Workspace w;
  w.frmMain.mnuFile_import.click();
  for (auto _ : state) w.frmMain.mnuFile_ExportClick();
}
BENCHMARK(BM_ExportSheet)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::Application app(argc, argv);
  app.setTitle("Tessaly");
  ensureSheet();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
