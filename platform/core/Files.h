#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The error of a read that did not get every byte it asked for.
inline FileError readFailed(const std::string& path) {
  return FileError("Cannot read \"" + path + "\": the file ended early or could not be read");
}

bool fileExists(const std::string& path);

// Whether new files may be made in a folder. A folder nobody may write is taken as closed also to a user
// whom the permission bits do not stop, as with targets that FileReplacement refuses.
bool folderWritable(const std::string& folder);

// The current user's cache folder for one program, ending in "/" ($XDG_CACHE_HOME, else ~/.cache, then
// ORGANISATION/APPLICATION/). userCachePath only names it (FileError without HOME); userCacheFolder also
// makes what is missing of it, mode 0700 (FileError when it cannot be made).
std::string userCachePath(const std::string& organisation, const std::string& application);
std::string userCacheFolder(const std::string& organisation, const std::string& application);
namespace detail {
// Makes folder and what is missing above it, each new one for the user alone; 0 or the error.
int makeFolders(const std::string& folder);
}  // namespace detail

// A file opened for reading only when it is a regular file: a FIFO or a device could block the open or
// the read for ever, and a folder has no contents, so anything else is refused at once (FileError naming
// the path).
class RegularFile {
 public:
  explicit RegularFile(const std::string& path);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  std::uint64_t size() const { return size_; }
  int descriptor() const { return fd_; }
  // Reads count bytes at offset; false when the file ends before them or the read fails.
  bool readAt(std::uint64_t offset, void* out, std::size_t count) const;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// Files replaced together, all named when the set is made. Making the set checks every target before a
// byte is written: a target that exists must be a regular file (a symbolic link is followed to its file)
// the user may write, and either a new file can be made beside it, or it is written in place (its folder
// takes no new files). A target that fails is a FileError, and nothing has been written.
//
// A target with a new file beside it is written there and held locked while it is written. A target
// written in place is first written aside (in the journal folder, else to an unnamed file in the
// temporary folder), so that its old contents stay until every other file is complete. commit() flushes the new
// files and gives each its target's permissions; reserves each in-place target's new size, so that a full disk
// fails before old data is touched; renames the new files over their targets back to back, in the order named;
// and last copies the in-place targets. A failure before the renames leaves every target as it was. A set
// dropped without commit removes its new files.
//
// Given a journal folder (a folder of the user's own), a set of more than one target, or one written in
// place, is all or nothing also across a kill or a power cut: what is written aside is kept in that
// folder, and before the first target changes, every new byte is on disk together with a record of what
// goes where, under a check of its own. The record goes when every target has its new contents, and
// finishInterruptedReplacements completes the targets of a record that is still there, also when the
// commit itself failed after the first target changed. A record that cannot be written (no room, no such
// folder) refuses the commit before any target changes. Without a journal folder a kill during the
// renames or the in-place copies can leave some targets new.
//
// New files are named .NAME.RRRRRR-CCCCCCCC.saving, where CCCCCCCC is a check of the rest of the name
// that only this code computes. Making the set removes, beside each target, the files of that form that
// a killed save left: regular files of the current user that no live save holds locked. A file the user
// named, even "NAME.backup.saving", is never taken for one. Whoever keeps a journal finishes what it
// records (finishInterruptedReplacements) before the set is made, as the removal would take its files.
class FileReplacement {
 public:
  class Output {
   public:
    void write(const void* data, std::size_t size);
    // Writes size bytes at offset, for a writer that places its bytes out of order.
    void writeAt(std::uint64_t offset, const void* data, std::size_t size);

   private:
    friend class FileReplacement;
    std::string path_, target_, temp_;  // temp_ empty: written in place
    std::string aside_;                 // in place with a journal: its file in the journal folder
    int fd_ = -1;                       // the new file, or the scratch file of an in-place target
    int targetFd_ = -1;                 // in place: the target, opened for writing
    bool exists_ = false;
    unsigned mode_ = 0, uid_ = 0, gid_ = 0;
    std::uint64_t written_ = 0, oldSize_ = 0;
  };

  explicit FileReplacement(const std::vector<std::string>& targets, const std::string& journalFolder = {});
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  ~FileReplacement();

  // The output of the i-th target named.
  Output& output(std::size_t i) { return *files_.at(i); }
  void commit();

 private:
  void discard();
  void open(const std::string& path);
  bool journaled() const;
  void prepareJournalFolder(const std::string& path) const;
  std::vector<std::unique_ptr<Output>> files_;
  std::string journalFolder_;
};

// Removes, beside target, the new files of a killed save (as making a FileReplacement of it does), for a
// file a save does not write this time.
void removeSaveLeftovers(const std::string& target);

// Completes every replacement recorded in journalFolder that a kill or a crash cut short and that
// touches only files among `files` (links followed): the renames that did not happen yet happen, and the
// in-place targets receive their new contents again, whole. A record that fails its own check, or that
// names also other files or files not of its own making, is dropped; neither writes nor removes any
// other file. Records of other files, and those a live replacement holds, stay. FileError when a record
// cannot be completed; it stays for the next try.
void finishInterruptedReplacements(const std::vector<std::string>& files, const std::string& journalFolder);

namespace testhooks {
// Called at every step of a journaled commit and of its completion, so that tests can stop a save
// between any two steps.
void setReplacementStepHook(std::function<void()> hook);
// A record's body (its first line, then its steps) with the check that makes it whole.
std::string sealReplacementRecord(const std::string& body);
}  // namespace testhooks

}  // namespace platform
