#pragma once

#include <string>
#include <vector>

#include "platform/dialogs/Services.h"

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
