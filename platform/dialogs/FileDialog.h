#pragma once

#include <optional>
#include <string>

namespace platform {

enum class FileDialogKind { Open, Save };

// What a program sets on an open or save dialog before showing it.
struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  std::string title;       // empty: the platform's default title
  std::string filter;      // "Bitmaps (*.bmp)|*.bmp|Any File|*.*"
  int filterIndex = 1;     // 1-based
  std::string defaultExt;  // without the dot
  std::string initialDir;
  std::string fileName;
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool preview = false;  // a picture dialog that shows the selected bitmap
};

// An open or save dialog component: keeps its settings and the last chosen file name.
class FileDialog {
 public:
  explicit FileDialog(FileDialogKind kind) { request_.kind = kind; }

  FileDialogRequest& options() { return request_; }
  const std::string& fileName() const { return request_.fileName; }
  void setFileName(std::string name) { request_.fileName = std::move(name); }

  // Shows the dialog; on OK the chosen path becomes the file name and true is returned.
  bool execute();

 private:
  FileDialogRequest request_;
};

// The name a typed file gets: the default extension is added when the name has none, except for "exe",
// which programs here do not carry.
std::string withDefaultExtension(const std::string& path, const std::string& defaultExt);

}  // namespace platform
