#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// A process that could not be started; code is the platform's error number (errno).
class ProcessError : public std::runtime_error {
 public:
  ProcessError(const std::string& what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// No time limit for a wait.
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

// How a started program shows its window; the programs here show their own windows, so it is advisory.
enum class ShowCommand : std::uint16_t { Maximized = 3, Show = 5 };

// Splits a command line by the Windows rules: blanks and control characters separate items; a stretch in
// double quotes keeps its blanks and loses its quotes ("" is an empty item).
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// The arguments a command line starts: its split items, except that the help viewer takes the rest of the
// line after its own name as one argument, since help paths are passed unquoted and may hold blanks.
std::vector<std::string> commandLineArguments(const std::string& commandLine);

// The desktop's opener, which stands in for the help viewer: found on PATH, else its usual place.
std::string helpViewerPath();

// Starts the command line as a new process, without a shell; the program is looked up on PATH when it
// names no folder. Returns the process id; ProcessError when it cannot start.
int spawnProcess(const std::string& commandLine);
// Waits for a started process; true when it ended (and is reaped), false when the time limit passed first.
bool waitProcess(int pid, std::uint32_t timeLimitMs);
// Ends a started process at once and reaps it.
void killProcess(int pid);
// Starts the command line and lets it run on its own; it is reaped when it ends.
void spawnDetached(const std::string& commandLine);

}  // namespace platform
