// Kills the real save of a 262,144-tile project (8 x 8 tiles, a 512 x 512 work space, frames) at random
// moments while it replaces an older project, then loads what is on disk: every trial must give exactly
// the old or the new project. Too slow for the normal test run; run it by hand:
//   build/bin/save_kill [TRIALS] [FOLDER] [renamed|inplace|split] [MS]
// renamed: the project's folder takes new files, and the save renames them over its files; inplace: the
// folder takes none, so the files are written in place; split: the same, but the tile strip is a link to
// a file in a folder that does take new files, so that one is renamed and the other two written in place.
// MS holds every rename of the saving process that long, so that kills land between them.
#include <dlfcn.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "platform/controls/Application.h"
#include "platform/core/Bitmap.h"
#include "platform/dialogs/QtServices.h"
#include "workspace/Tlwkmain.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {
useconds_t renameHold = 0;  // set in the saving child only
}  // namespace

extern "C" int rename(const char* from, const char* to) noexcept {
  static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
  const int result = real(from, to);
  if (renameHold > 0) usleep(renameHold);
  return result;
}

namespace {

// Nothing is asked during a save; a load's refusal or error is recorded as the trial's failure.
class RecordingServices : public platform::QtServices {
 public:
  std::string failure;
  platform::ModalResult messageBox(const std::string& text, platform::MsgType, platform::MsgButtons) override {
    failure = text;
    return platform::mrOk;
  }
  void exceptionBox(const std::string& text) override { failure = text; }
};

// A project whose tiles, cells and frames all depend on seed.
void build(tlwk::TfrmMain& f, int seed, int frames) {
  platform::Bitmap sheet(4096, 4096);
  for (int y = 0; y < sheet.height(); ++y) {
    std::uint32_t* row = sheet.wordRow(y);
    for (int x = 0; x < sheet.width(); ++x)
      row[x] = 0xFF000000u | static_cast<std::uint32_t>((x * 31 + y * 17 + seed * 101) & 0xFFFFFF);
  }
  f.imagelist1.clear();
  f.imagelist1.setSize(8, 8);
  f.imagelist1.appendTiles(sheet, 512, 512 * 512);
  f.grdImage.setColCount(512);
  f.grdImage.setRowCount(512);
  for (int r = 0; r < 512; ++r)
    for (int c = 0; c < 512; ++c) f.grdImage.setCell(c, r, std::to_string((r * 512 + c) * (seed + 1) % 262144));
  f.AniImageList.clear();
  f.AniImageList.setSize(8, 8);
  f.AniImageList.appendTiles(sheet, frames, frames);
  f.framesPerSecond = 3 + seed;
}

std::uint64_t mix(std::uint64_t h, std::uint64_t v) { return (h ^ v) * 1099511628211ull; }

// What a load gives, as one number.
std::uint64_t fingerprint(const tlwk::TfrmMain& f) {
  std::uint64_t h = 14695981039346656037ull;
  for (const auto* list : {&f.imagelist1, &f.AniImageList}) {
    h = mix(mix(mix(h, list->count()), list->width()), list->height());
    const std::size_t words = static_cast<std::size_t>(list->count()) * list->width() * list->height();
    if (list->count() > 0)
      for (std::size_t i = 0; i < words; ++i) h = mix(h, list->words(0)[i]);
  }
  h = mix(mix(mix(h, f.grdImage.colCount()), f.grdImage.rowCount()), f.framesPerSecond);
  for (int r = 0; r < f.grdImage.rowCount(); ++r)
    for (int c = 0; c < f.grdImage.colCount(); ++c)
      for (const char ch : f.grdImage.cell(c, r) + "\n") h = mix(h, static_cast<unsigned char>(ch));
  return h;
}

std::optional<std::uint64_t> load(tlwk::TfrmMain& f, RecordingServices& services, const std::string& prj) {
  services.failure.clear();
  f.imagelist1.clear();
  f.AniImageList.clear();
  f.cdlOpenFile.setFileName(prj);
  try {
    f.LoadProject();
  } catch (const std::exception& e) {
    services.failure = e.what();
  }
  if (!services.failure.empty()) return std::nullopt;
  return fingerprint(f);
}

int leftovers(const std::string& folder) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().string().find(".saving") != std::string::npos) ++n;
  return n;
}

long statusKiB(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long value = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::string(line).rfind(key, 0) == 0) value = std::atol(line + std::strlen(key));
  std::fclose(f);
  return value;
}

// Saves in a child process; kills it after `after` unless it is empty. Without a kill, the memory the
// save added to the process at its peak, in KiB.
long saveInChild(tlwk::TfrmMain& f, std::optional<std::chrono::microseconds> after) {
  int pipe[2];
  if (::pipe(pipe) != 0) std::exit(2);
  const pid_t child = fork();
  if (child == 0) {
    if (const char* hold = std::getenv("SAVE_KILL_RENAME_MS")) renameHold = std::atoi(hold) * 1000;
    close(pipe[0]);
    // Starts the peak anew at what the process holds now.
    if (FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", clear);
      std::fclose(clear);
    }
    const long before = statusKiB("VmRSS:");
    try {
      f.mnuFile_SaveClick();
    } catch (...) {
      _exit(1);
    }
    const long added = statusKiB("VmHWM:") - before;
    if (write(pipe[1], &added, sizeof added) != sizeof added) _exit(1);
    _exit(0);
  }
  close(pipe[1]);
  if (after) {
    usleep(static_cast<useconds_t>(after->count()));
    kill(child, SIGKILL);
  }
  long added = 0;
  if (read(pipe[0], &added, sizeof added) != sizeof added) added = 0;
  close(pipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!after && (!WIFEXITED(status) || WEXITSTATUS(status) != 0)) {
    std::fprintf(stderr, "the save failed\n");
    std::exit(2);
  }
  return added;
}

}  // namespace

int main(int argc, char** argv) {
  const int trials = argc > 1 ? std::atoi(argv[1]) : 60;
  const std::string folder = argc > 2 ? argv[2] : (fs::temp_directory_path() / "tessaly-save-kill").string();
  const std::string layout = argc > 3 ? argv[3] : "renamed";
  if (argc > 4) setenv("SAVE_KILL_RENAME_MS", argv[4], 1);
  if (layout != "renamed" && layout != "inplace" && layout != "split") {
    std::fprintf(stderr, "the layout is renamed, inplace or split\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string targetFolder = folder + "/target";
  if (fs::exists(targetFolder)) chmod(targetFolder.c_str(), 0755);
  fs::remove_all(folder);
  fs::create_directories(folder + "/old");
  fs::create_directories(targetFolder);
  fs::create_directories(folder + "/open");
  setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
  // A folder nobody may write takes no new files, for root too.
  const mode_t targetMode = layout == "renamed" ? 0755 : 0555;
  platform::Application app(argc, argv);
  app.setTitle("Tessaly");
  RecordingServices services;
  platform::setServices(&services);

  tlwk::TfrmMain saver, loader;
  const std::string oldPrj = folder + "/old/level.prj", target = targetFolder + "/level.prj";
  if (layout == "split") fs::create_symlink("../open/level.bmp", targetFolder + "/level.bmp");
  build(saver, 0, 4);
  saver.projectName = oldPrj;
  saver.mnuFile_SaveClick();
  const auto oldPrint = load(loader, services, oldPrj);
  build(saver, 1, 6);
  saver.projectName = target;
  const auto copyOld = [&] {
    chmod(targetFolder.c_str(), 0755);
    for (const char* ext : {"prj", "bmp", "vid"}) {
      const bool linked = layout == "split" && std::string(ext) == "bmp";
      fs::copy_file(folder + "/old/level." + ext, (linked ? folder + "/open" : targetFolder) + "/level." + ext,
                    fs::copy_options::overwrite_existing);
    }
    chmod(targetFolder.c_str(), targetMode);
  };
  copyOld();
  // The longest of three whole saves sets the span of the kills.
  std::chrono::microseconds saveTime{0};
  long added = 0;
  for (int i = 0; i < 3; ++i) {
    copyOld();
    const auto start = Clock::now();
    added = std::max(added, saveInChild(saver, std::nullopt));
    saveTime = std::max(saveTime, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
  }
  const auto newPrint = load(loader, services, target);
  if (!oldPrint || !newPrint || *oldPrint == *newPrint) {
    std::fprintf(stderr, "the two projects do not load apart: %s\n", services.failure.c_str());
    return 2;
  }
  std::printf("the longest of three whole saves takes %.0f ms; a save adds at most %ld KiB to its process\n",
              saveTime.count() / 1000.0, added);

  std::mt19937 random(std::random_device{}());
  // Up to half past the save's own time, so that some kills come after it ended.
  std::uniform_int_distribution<long> moment(0, saveTime.count() * 3 / 2);
  int oldCount = 0, newCount = 0, bad = 0, leftBehind = 0;
  for (int t = 0; t < trials; ++t) {
    copyOld();
    saveInChild(saver, std::chrono::microseconds(moment(random)));
    if (leftovers(targetFolder) + leftovers(folder + "/open") > 0) ++leftBehind;
    const auto print = load(loader, services, target);
    if (print == oldPrint) {
      ++oldCount;
    } else if (print == newPrint) {
      ++newCount;
    } else {
      ++bad;
      std::printf("trial %d: neither project: %s (%d tiles, %d frames, speed %d)\n", t,
                  services.failure.c_str(), loader.imagelist1.count(), loader.AniImageList.count(),
                  loader.framesPerSecond);
      fs::copy(targetFolder, folder + "/bad" + std::to_string(t));
    }
  }
  saveInChild(saver, std::nullopt);
  const int remaining = leftovers(targetFolder) + leftovers(folder + "/open");
  std::printf(
      "%s, %d trials: %d old project, %d new project, %d neither; %d left new files behind, %d remain "
      "after a later save\n",
      layout.c_str(), trials, oldCount, newCount, bad, leftBehind, remaining);
  platform::setServices(nullptr);
  chmod(targetFolder.c_str(), 0755);
  if (bad == 0) fs::remove_all(folder);
  return bad == 0 && remaining == 0 ? 0 : 1;
}
