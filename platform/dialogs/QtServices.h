#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs/FileDialog.h"
#include "platform/qtbase/Services.h"

class QFileDialog;
class QWidget;

namespace platform {

// The real dialogs, boxes and pop-ups over Qt.
class QtServices : public Services {
 public:
  ModalResult messageBox(const std::string& text, MsgType type, MsgButtons buttons) override;
  void plainMessage(const std::string& text) override;
  void exceptionBox(const std::string& text) override;
  std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
  std::optional<Color> colorDialog(Color initial) override;
  ModalResult showModal(Form& form) override;
  void popup(PopupMenu& menu, int screenX, int screenY) override;
  int createProcess(const std::string& commandLine) override;
  bool waitForProcess(int pid, std::uint32_t timeLimitMs) override;
  void terminateProcess(int pid) override;
  void startProgram(const std::string& commandLine) override;
  bool shellOpen(const std::string& url) override;
};

// Qt name filters from a "text|patterns|text|patterns" filter; "*.*" and "*.exe" become "*".
std::vector<std::string> qtNameFilters(const std::string& filter);

}  // namespace platform

namespace platform {

// The open or save dialog a request describes, owned by `owner`'s window while shown. It shows each
// filter's text as the program gave it, refuses a name in a missing folder where the path must exist
// (with a warning, staying open), and shows a preview of the selected bitmap where asked.
std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& request, QWidget* owner);

}  // namespace platform
