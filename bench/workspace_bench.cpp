// Import of a 4096 x 4096 256-colour sheet cut into 8 x 8 tiles: the first import of a fresh process, the
// decode, the cut from the dialog's OK to the confirmation question, and a full repaint of the visible work
// space; save, load and export of the project it makes. Import, save, load and export report the memory
// they take above what the process held before them (peak_extra_MiB). Run through bench/run, which also
// times Pillow's counterparts on the same files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "platform/controls/Application.h"
#include "platform/core/BmpFile.h"
#include "platform/core/LargeBlocks.h"
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

// Written once: a first import must not follow the making and freeing of a sheet in its own process.
void ensureSheet() {
  if (std::FILE* f = std::fopen(sheetPath().c_str(), "rb")) {
    std::fclose(f);
    return;
  }
  platform::Bitmap b(4096, 4096, platform::PixelFormat::pf8bit);
  for (int y = 0; y < b.height(); ++y) {
    std::uint8_t* row = b.indexRow(y);
    for (int x = 0; x < b.width(); ++x) row[x] = static_cast<std::uint8_t>((x / 8 * 7 + y / 8 * 13 + x) & 0xFF);
  }
  platform::saveBmpFile(sheetPath(), b);
}

// The kernel's high-water mark of the process, reset at construction: what an operation takes at its
// peak above what the process held before it.
class PeakMemory {
 public:
  PeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
    before_ = statusKiB("VmRSS");
  }
  double extraMiB() const { return static_cast<double>(statusKiB("VmHWM") - before_) / 1024; }

 private:
  static long statusKiB(const std::string& key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
      if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    return 0;
  }
  long before_ = 0;
};

// Answers every question Yes and the picture dialog with the sheet; times the dialog-to-question span.
// With openDialog the import dialog is really shown, activated and painted before it closes, and that
// opening is timed.
class BenchServices : public platform::QtServices {
 public:
  Clock::time_point dialogClosed, questionAsked;
  bool openDialog = false;
  double dialogOpenMs = 0, dialogOpenMiB = 0;
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
    if (openDialog) {
      const PeakMemory peak;
      const auto start = Clock::now();
      dlg.show();
      dlg.activate();
      platform::Application::instance().processMessages();
      dialogOpenMs = 1000 * std::chrono::duration<double>(Clock::now() - start).count();
      dialogOpenMiB = peak.extraMiB();
      dlg.setModalResult(platform::mrOk);
    }
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

// Registered first, so that nothing before it in the process has warmed the memory a cut takes; bench/run
// runs it in a process of its own.
void BM_FirstImport(benchmark::State& state) {
  Workspace w;
  for (auto _ : state) {
    const PeakMemory peak;
    const auto start = Clock::now();
    w.frmMain.mnuFile_import.click();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    state.counters["cut_ms"] =
        1000 * std::chrono::duration<double>(w.services.questionAsked - w.services.dialogClosed).count();
    state.counters["peak_extra_MiB"] = peak.extraMiB();
  }
  if (w.frmMain.imagelist1.count() != 512 * 512) state.SkipWithError("the cut did not give 262,144 tiles");
}
BENCHMARK(BM_FirstImport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor of a first import in plain C++, for a fresh process of its own as BM_FirstImport has: read the
// sheet's file into fresh memory, then copy it into fresh memory as 8 x 8 tiles of 0xFFRRGGBB words
// through its colour table, nothing checked and nothing kept. cut_ms is the copy alone, the floor of the
// cut that BM_FirstImport reports as its cut_ms.
void BM_FirstImportFloor(benchmark::State& state) {
  for (auto _ : state) {
    const PeakMemory peak;
    const auto start = Clock::now();
    std::FILE* f = std::fopen(sheetPath().c_str(), "rb");
    if (!f) {
      state.SkipWithError("no sheet");
      return;
    }
    std::fseek(f, 0, SEEK_END);
    const auto size = static_cast<std::size_t>(std::ftell(f));
    std::fseek(f, 0, SEEK_SET);
    const std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
    const bool read = std::fread(bytes.get(), 1, size, f) == size;
    std::fclose(f);
    const auto le32 = [&](std::size_t at) {
      std::uint32_t v;
      std::memcpy(&v, bytes.get() + at, 4);
      return v;
    };
    const std::size_t offset = le32(10), width = le32(18), height = le32(22);
    if (!read || bytes[28] != 8 || offset + width * height > size) {
      state.SkipWithError("the floor reads 8-bit sheets only");
      return;
    }
    std::uint32_t table[256];
    for (std::size_t i = 0; i < 256; ++i) table[i] = 0xFF000000u | (le32(54 + 4 * i) & 0xFFFFFF);
    const auto cutStart = Clock::now();
    const std::size_t across = width / 8, down = height / 8;
    const std::unique_ptr<std::uint32_t[]> words(new std::uint32_t[across * down * 64]);
    std::uint32_t* dst = words.get();
    for (std::size_t r = 0; r < down; ++r)
      for (std::size_t c = 0; c < across; ++c)
        for (std::size_t y = 0; y < 8; ++y, dst += 8) {
          const std::uint8_t* src = bytes.get() + offset + (height - 1 - (r * 8 + y)) * width + c * 8;
          for (int x = 0; x < 8; ++x) dst[x] = table[src[x]];
        }
    benchmark::DoNotOptimize(words.get());
    const auto end = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    state.counters["cut_ms"] = 1000 * std::chrono::duration<double>(end - cutStart).count();
    state.counters["peak_extra_MiB"] = peak.extraMiB();
  }
}
BENCHMARK(BM_FirstImportFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_DecodeSheet(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::loadBmpFile(sheetPath()));
}
BENCHMARK(BM_DecodeSheet)->Unit(benchmark::kMillisecond);

void BM_CutSheetInto8x8Tiles(benchmark::State& state) {
  Workspace w;
  const PeakMemory peak;
  for (auto _ : state) {
    w.frmMain.mnuFile_import.click();
    state.SetIterationTime(
        std::chrono::duration<double>(w.services.questionAsked - w.services.dialogClosed).count());
  }
  if (w.frmMain.imagelist1.count() != 512 * 512) state.SkipWithError("the cut did not give 262,144 tiles");
  state.counters["tiles"] = w.frmMain.imagelist1.count();
  state.counters["peak_extra_MiB"] = peak.extraMiB();
}
BENCHMARK(BM_CutSheetInto8x8Tiles)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening the import dialog over the sheet: showing it, its activation (the preview takes the sheet) and
// its first paint. Compare with BM_DecodeSheet, the reading of the file.
void BM_OpenImportDialog(benchmark::State& state) {
  Workspace w;
  w.services.openDialog = true;
  double peakMiB = 0;
  for (auto _ : state) {
    w.frmMain.mnuFile_import.click();
    state.SetIterationTime(w.services.dialogOpenMs / 1000);
    peakMiB = std::max(peakMiB, w.services.dialogOpenMiB);
  }
  state.counters["peak_extra_MiB"] = peakMiB;
}
BENCHMARK(BM_OpenImportDialog)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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
  const PeakMemory peak;
  for (auto _ : state) w.frmMain.mnuFile_SaveClick();
  state.counters["peak_extra_MiB"] = peak.extraMiB();
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor of a load in plain C++: read the strip the load saved into fresh memory and cut it into fresh
// memory, 8 x 8 tiles of 0xFFRRGGBB words, nothing checked and nothing kept. Both blocks are left unfilled
// and take their pages as the workspace's large blocks do (--large_blocks): faulting in 112 MiB costs more
// than the read and the cut themselves. Returns the milliseconds it took, or a negative number when the strip
// is not the one the load benchmark saves.
double loadFloor(double& peakMiB) {
  const PeakMemory peak;
  const auto start = Clock::now();
  std::FILE* f = std::fopen((sheetPath() + ".bmp").c_str(), "rb");
  if (!f) return -1;
  std::fseek(f, 0, SEEK_END);
  const auto size = static_cast<std::size_t>(std::ftell(f));
  std::fseek(f, 0, SEEK_SET);
  platform::detail::UnfilledVector<std::uint8_t> bytes;
  platform::detail::reserveLarge(bytes, size);
  bytes.resize(size);
  const std::size_t read = std::fread(bytes.data(), 1, size, f);
  std::fclose(f);
  const auto le32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                      bytes[at + 3] << 24);
  };
  const std::size_t offset = le32(10), width = le32(18), height = le32(22), rowBytes = (width * 3 + 3) / 4 * 4;
  if (read != size || height != 8 || offset + rowBytes * height > size) return -1;
  const std::size_t tiles = width / 8;
  platform::detail::UnfilledVector<std::uint32_t> words;
  platform::detail::reserveLarge(words, tiles * 64);
  words.resize(tiles * 64);
  std::uint32_t* dst = words.data();
  for (std::size_t t = 0; t < tiles; ++t)
    for (std::size_t y = 0; y < 8; ++y) {
      const std::uint8_t* src = bytes.data() + offset + (7 - y) * rowBytes + t * 24;
      for (int x = 0; x < 8; ++x, src += 3, ++dst)
        *dst = 0xFF000000u | static_cast<std::uint32_t>(src[2]) << 16 |
               static_cast<std::uint32_t>(src[1]) << 8 | src[0];
    }
  benchmark::DoNotOptimize(words.data());
  const double ms = 1000 * std::chrono::duration<double>(Clock::now() - start).count();
  peakMiB = std::max(peakMiB, peak.extraMiB());
  return ms;
}

// A load into a window that holds the project already. The floor runs in the same process between the
// loads, first and second by turns, so that both meet the same memory; floor_ms is its mean.
void BM_LoadProject(benchmark::State& state) {
  Workspace w;
  w.frmMain.mnuFile_import.click();
  w.frmMain.projectName = projectPath();
  w.frmMain.mnuFile_SaveClick();
  double loadPeakMiB = 0, floorPeakMiB = 0, floorMs = 0;
  int turn = 0;
  for (auto _ : state) {
    const bool floorFirst = turn++ % 2 == 0;
    if (floorFirst) floorMs += loadFloor(floorPeakMiB);
    const PeakMemory peak;
    const auto start = Clock::now();
    w.frmMain.cdlOpenFile.setFileName(projectPath());
    w.frmMain.LoadProject();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    loadPeakMiB = std::max(loadPeakMiB, peak.extraMiB());
    if (!floorFirst) floorMs += loadFloor(floorPeakMiB);
  }
  state.counters["peak_extra_MiB"] = loadPeakMiB;
  state.counters["floor_ms"] = floorMs / turn;
  state.counters["floor_peak_extra_MiB"] = floorPeakMiB;
  if (floorMs < 0) state.SkipWithError("the floor found no strip of 8 x 8 tiles");
  if (w.frmMain.imagelist1.count() != 512 * 512) state.SkipWithError("the load did not give 262,144 tiles");
}
BENCHMARK(BM_LoadProject)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_ExportSheet(benchmark::State& state) {
  Workspace w;
  w.frmMain.mnuFile_import.click();
  const PeakMemory peak;
  for (auto _ : state) w.frmMain.mnuFile_ExportClick();
  state.counters["peak_extra_MiB"] = peak.extraMiB();
}
BENCHMARK(BM_ExportSheet)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// --large_blocks=plain|prefault|huge: how large blocks take their pages (prefault unless given).
// --touch_and_free_mib=N: touch N MiB, free them and end: what other programs do before a first import.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    using platform::detail::LargeBlockPages;
    if (arg == "--large_blocks=plain") platform::detail::largeBlockPages = LargeBlockPages::Plain;
    if (arg == "--large_blocks=prefault") platform::detail::largeBlockPages = LargeBlockPages::Prefault;
    if (arg == "--large_blocks=huge") platform::detail::largeBlockPages = LargeBlockPages::Huge;
    if (arg.rfind("--touch_and_free_mib=", 0) == 0) {
      const std::size_t bytes = std::stoul(arg.substr(21)) << 20;
      auto* block = static_cast<volatile char*>(std::malloc(bytes));
      for (std::size_t at = 0; block && at < bytes; at += 4096) block[at] = 1;
      std::free(const_cast<char*>(block));
      return 0;
    }
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::Application app(argc, argv);
  app.setTitle("Tessaly");
  ensureSheet();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
