#include "platform/core/Process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/core/Paths.h"

extern char** environ;

namespace platform {

namespace {

constexpr const char* kHelpViewerName = "xdg-open";

bool separator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Where the first item of a command line ends: the rest is its argument text.
std::size_t firstItemEnd(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && separator(line[i])) ++i;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    if (line[i] == '"')
      quoted = !quoted;
    else if (!quoted && separator(line[i]))
      break;
  }
  return i;
}

bool reap(int pid, int options) {
  for (;;) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, options);
    if (r == pid) return true;
    if (r == 0) return false;
    if (errno == EINTR) continue;
    // Not our child any more (already reaped): it has ended.
    return true;
  }
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
  std::vector<std::string> items;
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  for (;;) {
    while (i < n && separator(commandLine[i])) ++i;
    if (i >= n) break;
    std::string item;
    bool quoted = false;
    for (; i < n; ++i) {
      const char c = commandLine[i];
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && separator(c)) {
        break;
      } else {
        item += c;
      }
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<std::string> commandLineArguments(const std::string& commandLine) {
  std::vector<std::string> items = splitCommandLine(commandLine);
  if (items.empty() || extractFileName(items[0]) != kHelpViewerName) return items;
  std::size_t start = firstItemEnd(commandLine);
  while (start < commandLine.size() && separator(commandLine[start])) ++start;
  std::size_t end = commandLine.size();
  while (end > start && separator(commandLine[end - 1])) --end;
  items.resize(1);
  if (end > start) items.push_back(commandLine.substr(start, end - start));
  return items;
}

std::string helpViewerPath() {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t colon = std::min(dirs.find(':', start), dirs.size());
    const std::string dir = dirs.substr(start, colon - start);
    if (!dir.empty()) {
      const std::string candidate = dir + "/" + kHelpViewerName;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = colon + 1;
  }
  return std::string("/usr/bin/") + kHelpViewerName;
}

int spawnProcess(const std::string& commandLine) {
  const std::vector<std::string> args = commandLineArguments(commandLine);
  if (args.empty() || args[0].empty()) throw ProcessError("No program to start", ENOENT);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (error != 0) throw ProcessError("Cannot start \"" + args[0] + "\": " + std::strerror(error), error);
  return pid;
}

bool waitProcess(int pid, std::uint32_t timeLimitMs) {
  if (pid <= 0) return true;
  if (timeLimitMs == kInfinite) return reap(pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
  auto pause = std::chrono::microseconds(200);
  for (;;) {
    if (reap(pid, WNOHANG)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
}

void killProcess(int pid) {
  // Never a group or every process: only a child of ours is ended.
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  reap(pid, 0);
}

void spawnDetached(const std::string& commandLine) {
  const int pid = spawnProcess(commandLine);
  std::thread([pid] { reap(pid, 0); }).detach();
}

}  // namespace platform
