#pragma once

#include <optional>
#include <string>

#include "platform/core/Color.h"
#include "platform/core/Process.h"

namespace platform {

class Form;
class PopupMenu;
struct FileDialogRequest;

enum class MsgType { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, YesNo };

// Button values as the programs compare them; closing a box without an answer gives mrCancel.
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// Everything that waits for the user or reaches outside the program goes through one service, so tests
// can script the answers and see every call.
class Services {
 public:
  virtual ~Services() = default;

  // Modal box with the type's icon and standard title ("Warning", "Error", "Information", "Confirm").
  virtual ModalResult messageBox(const std::string& text, MsgType type, MsgButtons buttons) = 0;
  // Plain box: the application title as caption and an OK button.
  virtual void plainMessage(const std::string& text) = 0;
  // The default exception box: an error that escaped a command handler.
  virtual void exceptionBox(const std::string& text) = 0;
  // Open or save dialog; the chosen full path, or nothing on Cancel.
  virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
  // The input box: caption, prompt and an editable text; the text on OK, nothing on Cancel.
  virtual std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& value) = 0;
  // The colour dialog, starting at a colour; the chosen colour, or nothing on Cancel.
  virtual std::optional<Color> colorDialog(Color initial) = 0;
  // Shows one of our own forms modally and answers its modal result.
  virtual ModalResult showModal(Form& form) = 0;
  // Opens a pop-up menu at a screen point; does not wait for the choice.
  virtual void popup(PopupMenu& menu, int screenX, int screenY) = 0;

  // Starts a command line as a process (Windows splitting rules, no shell) and answers its id;
  // ProcessError when it cannot start.
  virtual int createProcess(const std::string& commandLine) = 0;
  // Waits for a process of createProcess; true when it ended within the limit (kInfinite: no limit).
  virtual bool waitForProcess(int pid, std::uint32_t timeLimitMs) = 0;
  // Ends a process of createProcess that is still running.
  virtual void terminateProcess(int pid) = 0;
  // Starts a command line without waiting for it; ProcessError when it cannot start.
  virtual void startProgram(const std::string& commandLine) = 0;
  // Opens a web or "mailto:" address with the desktop's program for it; false when nothing opened it.
  virtual bool shellOpen(const std::string& url) = 0;
};

// The installed service, else the real one.
Services& services();
// The real dialogs and processes over Qt; defined with them, in the dialogs above this interface.
Services& realServices();
// Installs a service (tests); nullptr restores the real one. The caller keeps ownership.
void setServices(Services* s);

// Convenience forms of the calls above.
ModalResult messageDlg(const std::string& text, MsgType type, MsgButtons buttons);
void showMessage(const std::string& text);

}  // namespace platform
