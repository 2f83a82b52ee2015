#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/dialogs/FileDialog.h"
#include "platform/qtbase/Services.h"

namespace testing_support {

using platform::ModalResult;
using platform::MsgButtons;
using platform::MsgType;

enum class CallKind {
  Message,
  Plain,
  Exception,
  FileDialog,
  Input,
  Color,
  Modal,
  Popup,
  Process,
  Start,
  Shell
};

const char* kindName(CallKind k);

// One call the program made to the service, as the test sees it afterwards.
struct Call {
  CallKind kind;
  std::string text;           // message text, the file dialog's title, the input box's prompt, a command line
  std::string caption;        // the input box's caption
  std::string value;          // the input box's starting text
  platform::Color color = 0;  // the colour dialog's starting colour
  MsgType type = MsgType::Information;
  MsgButtons buttons = MsgButtons::Ok;
  platform::FileDialogRequest file;
  int x = 0, y = 0;  // pop-up point
};

// Dialog service for tests: each call takes the next scripted answer, which must be of the call's
// kind. A call nobody scripted fails the test at once and is answered with Cancel, so nothing blocks.
// Pop-ups are only recorded. Processes are scripted like dialogs, or let through to the real platform.
class ScriptedServices : public platform::Services {
 public:
  ScriptedServices();
  ~ScriptedServices() override;

  // Scripting, in the order the calls will come.
  ScriptedServices& answerMessage(ModalResult answer);
  ScriptedServices& acknowledge();  // a plain box or an exception box: OK
  ScriptedServices& answerFile(std::optional<std::string> path);
  ScriptedServices& answerFile(std::function<std::optional<std::string>(const platform::FileDialogRequest&)> f);
  ScriptedServices& answerInput(std::optional<std::string> text);
  ScriptedServices& answerColor(std::optional<platform::Color> color);
  ScriptedServices& answerModal(std::function<ModalResult(platform::Form&)> f);
  // A started process: run gets the arguments the command line starts (program first) and stands in for
  // the whole process, which has ended when it returns.
  ScriptedServices& answerProcess(std::function<void(const std::vector<std::string>& argv)> run);
  // A process that cannot start, with the platform's error number.
  ScriptedServices& failProcess(int error);
  // A program started without waiting (it is only recorded), or one that cannot start (error above 0).
  ScriptedServices& answerStart(int error = 0);
  // Every process start from now on goes to the real platform; each command line is still recorded.
  ScriptedServices& allowProcesses();
  // A web or mail address handed to the desktop's opener, answered as opened or not.
  ScriptedServices& answerShellOpen(bool opened = true);

  const std::vector<Call>& calls() const { return calls_; }
  // The calls of one kind, in order.
  std::vector<Call> callsOf(CallKind kind) const;
  // Texts of the message, plain and exception boxes, in order.
  std::vector<std::string> messages() const;
  bool scriptUsedUp() const { return script_.empty(); }
  void clear();

  ModalResult messageBox(const std::string& text, MsgType type, MsgButtons buttons) override;
  void plainMessage(const std::string& text) override;
  void exceptionBox(const std::string& text) override;
  std::optional<std::string> fileDialog(const platform::FileDialogRequest& request) override;
  std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
  std::optional<platform::Color> colorDialog(platform::Color initial) override;
  ModalResult showModal(platform::Form& form) override;
  void popup(platform::PopupMenu& menu, int screenX, int screenY) override;
  int createProcess(const std::string& commandLine) override;
  bool waitForProcess(int pid, std::uint32_t timeLimitMs) override;
  void terminateProcess(int pid) override;
  void startProgram(const std::string& commandLine) override;
  bool shellOpen(const std::string& url) override;

 private:
  struct Step {
    CallKind kind;
    std::function<void(const Call&)> check;
    ModalResult result = platform::mrNone;
    std::function<std::optional<std::string>(const platform::FileDialogRequest&)> file;
    std::function<ModalResult(platform::Form&)> modal;
    std::optional<std::string> text;
    std::optional<platform::Color> color;
    std::function<void(const std::vector<std::string>&)> process;
    int error = 0;
  };
  // The next step, which must be of this kind; nullopt (and a test failure) when it is not.
  std::optional<Step> take(const Call& call);

  std::deque<Step> script_;
  std::vector<Call> calls_;
  bool realProcesses_ = false;
  std::set<int> scriptedPids_;
  int nextPid_ = 1000000000;
};

}  // namespace testing_support
