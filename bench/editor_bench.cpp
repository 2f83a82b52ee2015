// The editor as Modify meets it: the window's start in tile mode up to idle, and a full RedrawGrid of a
// 100 x 100 document at each zoom, both with the control left at its x1 size and with it sized for the zoom
// by New, where every cell is in the grid's view. Then the drawing tools: one drag step of each rubber band
// through a real mouse event, and the Fill tool on a 1000 x 1000 bitmap opened in standalone mode. Last
// the open, a fill and an undo of that bitmap at x8 with the paint that shows them, beside their floors.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/pxwkwork.h"
#include "platform/controls/Application.h"
#include "platform/core/BmpFile.h"
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
      frmMain.editWorkingImage().floodFillSurface(500, 500, frmMain.leftColour);
    }
  }
  if (frmMain.workingImage().pixel(999, 999) != frmMain.leftColour) state.SkipWithError("the fill fell short");
  state.counters["px"] = frmMain.workingImage().width();
}
BENCHMARK(BM_FloodFill1000x1000)
    ->ArgsProduct({{8, 24}, {0, 1}})
    ->ArgNames({"bpp", "press"})
    ->Unit(benchmark::kMillisecond);

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return 1000 * std::chrono::duration<double>(Clock::now() - start).count();
}

// A plain Qt window that shows two images, as the floor's screen.
class PlainWindow : public QWidget {
 public:
  QImage surface, shown;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, surface);
    p.drawImage(surface.width(), 0, shown);
  }
};

// The floor of the editor's steps on a 1000 x 1000 8-bit document: the same work in plain C++ on buffers
// of the sizes the window uses, then shown by a plain Qt window. Drawing fills each cell that the pixel
// grid's surface shows (cells of `pitch` screen pixels with one line between them) and converts the part
// of the working image that its panel shows, both from the colour table; the window paints both images
// once, as the editor's window paints its grid and its actual-size image.
struct PlainEditor {
  int width = 0, height = 0;
  std::vector<std::uint32_t> table = std::vector<std::uint32_t>(256, 0xFF000000u);
  std::vector<std::uint8_t> working, snapshot;
  std::vector<std::uint32_t> surface, shown;
  int surfaceW = 0, surfaceH = 0, pitch = 0, shownW = 0, shownH = 0;

  PlainEditor(int sw, int sh, int cellSize, int vw, int vh)
      : surface(static_cast<std::size_t>(sw) * sh),
        shown(static_cast<std::size_t>(vw) * vh),
        surfaceW(sw),
        surfaceH(sh),
        pitch(cellSize + 1),
        shownW(vw),
        shownH(vh) {
    window.surface = QImage(reinterpret_cast<uchar*>(surface.data()), sw, sh, sw * 4, QImage::Format_RGB32);
    window.shown = QImage(reinterpret_cast<uchar*>(shown.data()), vw, vh, vw * 4, QImage::Format_RGB32);
    window.resize(sw + vw, std::max(sh, vh));
    window.show();
    QApplication::processEvents();
  }
  PlainWindow window;

  // Reads an uncompressed bottom-up 8-bit BMP; false for anything else.
  bool decode(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fseek(f, 0, SEEK_END);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    const bool read = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    const auto le32 = [&](std::size_t at) {
      std::uint32_t v;
      std::memcpy(&v, bytes.data() + at, 4);
      return v;
    };
    if (!read || bytes.size() < 54 + 1024 || bytes[28] != 8) return false;
    width = static_cast<int>(le32(18));
    height = static_cast<int>(le32(22));
    const std::size_t offset = le32(10), rowBytes = (static_cast<std::size_t>(width) + 3) / 4 * 4;
    if (offset + rowBytes * height > bytes.size()) return false;
    for (int i = 0; i < 256; ++i)
      table[i] = 0xFF000000u | (le32(54 + 4 * static_cast<std::size_t>(i)) & 0xFFFFFF);
    working.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      std::memcpy(&working[static_cast<std::size_t>(y) * width], &bytes[offset + (height - 1 - y) * rowBytes],
                  static_cast<std::size_t>(width));
    return true;
  }
  void copyTo(std::vector<std::uint8_t>& to) const { to = working; }
  void restore() { std::memcpy(working.data(), snapshot.data(), working.size()); }
  void fill(int x0, int y0, std::uint8_t value) {
    const std::uint8_t target = working[static_cast<std::size_t>(y0) * width + x0];
    if (target == value) return;
    std::vector<std::pair<int, int>> stack{{x0, y0}};
    while (!stack.empty()) {
      const auto [sx, sy] = stack.back();
      stack.pop_back();
      std::uint8_t* row = &working[static_cast<std::size_t>(sy) * width];
      if (row[sx] != target) continue;
      int l = sx, r = sx;
      while (l > 0 && row[l - 1] == target) --l;
      while (r + 1 < width && row[r + 1] == target) ++r;
      std::memset(row + l, value, static_cast<std::size_t>(r - l + 1));
      for (const int ny : {sy - 1, sy + 1}) {
        if (ny < 0 || ny >= height) continue;
        const std::uint8_t* next = &working[static_cast<std::size_t>(ny) * width];
        for (int x = l; x <= r; ++x)
          if (next[x] == target && (x == l || next[x - 1] != target)) stack.emplace_back(x, ny);
      }
    }
  }
  void draw() {
    for (int cy = 0; cy < height && cy * pitch < surfaceH; ++cy)
      for (int cx = 0; cx < width && cx * pitch < surfaceW; ++cx) {
        const std::uint32_t c = table[working[static_cast<std::size_t>(cy) * width + cx]];
        for (int y = cy * pitch; y < std::min(cy * pitch + pitch - 1, surfaceH); ++y)
          std::fill_n(&surface[static_cast<std::size_t>(y) * surfaceW + cx * pitch],
                      std::min(pitch - 1, surfaceW - cx * pitch), c);
      }
    for (int y = 0; y < std::min(shownH, height); ++y)
      for (int x = 0; x < std::min(shownW, width); ++x)
        shown[static_cast<std::size_t>(y) * shownW + x] =
            table[working[static_cast<std::size_t>(y) * width + x]];
  }
  void show() {
    window.update();
    QApplication::processEvents();
  }
};

// The open, the fill and the undo of a 1000 x 1000 8-bit document at x8, each with the paint that shows it,
// beside the floor of the same step. Argument: 0 open, 1 a press of the Fill tool (snapshot, fill,
// repaint), 2 one undo. Ours and the floor run by turns, first and second alternately; floor_ms is the
// floor's mean, floor_unshown_ms the same without its window's paint, and ratio ours over floor_ms.
void BM_EditorStep1000x1000(benchmark::State& state) {
  const int step = static_cast<int>(state.range(0));
  OpenWith answers;
  answers.path = sheetPath(platform::PixelFormat::pf8bit);
  platform::setServices(&answers);
  pxwk::TfrmMain frmMain({});
  frmMain.show();
  frmMain.activate();
  frmMain.mnuBitmap_Zoom_X8.click();
  frmMain.OpenFile.click();
  frmMain.cmdPaint.click();
  auto& app = platform::Application::instance();
  app.processMessages();
  const platform::Bitmap& canvas = frmMain.grdIcon.canvas();
  PlainEditor plain(canvas.width(), canvas.height(), frmMain.grdIcon.defaultColWidth(), 100, 100);
  if (!plain.decode(answers.path)) state.SkipWithError("the floor could not read the document");
  plain.copyTo(plain.snapshot);
  double floorMs = 0, plainMs = 0, oursMs = 0;
  int turn = 0;
  bool red = false;
  const auto runFloor = [&] {
    const auto start = Clock::now();
    if (step == 0) {
      plain.decode(answers.path);
      plain.copyTo(plain.snapshot);
    } else if (step == 1) {
      plain.copyTo(plain.snapshot);
      plain.fill(0, 0, red ? 7 : 255);
    } else {
      plain.restore();
    }
    plain.draw();
    plainMs += msSince(start);
    plain.show();
    floorMs += msSince(start);
  };
  for (auto _ : state) {
    red = !red;
    frmMain.leftColour = red ? platform::rgb(255, 0, 0) : platform::clWhite;
    if (step == 2) {
      // Two snapshots to undo: the press before the fill and its release after it.
      platform::pressMouse(frmMain.grdIcon, platform::MouseButton::Left, 2, 2);
      platform::releaseMouse(frmMain.grdIcon, platform::MouseButton::Left, 2, 2);
      app.processMessages();
    }
    const bool floorFirst = turn++ % 2 == 0;
    if (floorFirst) runFloor();
    const auto start = Clock::now();
    if (step == 0) {
      frmMain.OpenFile.click();
    } else if (step == 1) {
      platform::pressMouse(frmMain.grdIcon, platform::MouseButton::Left, 2, 2);
    } else {
      frmMain.mnuEdit_Undo.click();
    }
    app.processMessages();
    const double ms = msSince(start);
    oursMs += ms;
    state.SetIterationTime(ms / 1000);
    if (!floorFirst) runFloor();
    if (step == 1) {
      platform::releaseMouse(frmMain.grdIcon, platform::MouseButton::Left, 2, 2);
      app.processMessages();
    }
    frmMain.ImgListUndo.reset(1000, 1000);
  }
  platform::setServices(nullptr);
  state.counters["floor_ms"] = floorMs / turn;
  state.counters["floor_unshown_ms"] = plainMs / turn;
  state.counters["ratio"] = oursMs / floorMs;
  state.counters["surface_px"] = canvas.width() * canvas.height();
}
BENCHMARK(BM_EditorStep1000x1000)
    ->DenseRange(0, 2)
    ->ArgName("step")
    ->UseManualTime()
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
