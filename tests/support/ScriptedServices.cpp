#include "tests/support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/controls/Form.h"
#include "platform/dialogs/QtServices.h"

namespace testing_support {

const char* kindName(CallKind k) {
  switch (k) {
    case CallKind::Message:
      return "message box";
    case CallKind::Plain:
      return "plain message";
    case CallKind::Exception:
      return "exception box";
    case CallKind::FileDialog:
      return "file dialog";
    case CallKind::Input:
      return "input box";
    case CallKind::Color:
      return "colour dialog";
    case CallKind::Modal:
      return "modal form";
    case CallKind::Popup:
      return "pop-up menu";
    case CallKind::Process:
      return "process start";
    case CallKind::Start:
      return "program start without waiting";
    case CallKind::Shell:
      return "shell open";
  }
  return "?";
}

ScriptedServices::ScriptedServices() { platform::setServices(this); }

ScriptedServices::~ScriptedServices() {
  platform::setServices(nullptr);
  EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answer(s) never asked for, the first a "
                               << kindName(script_.front().kind);
}

ScriptedServices& ScriptedServices::answerMessage(ModalResult answer) {
  script_.push_back(Step{CallKind::Message, {}, answer, {}, {}});
  return *this;
}

ScriptedServices& ScriptedServices::acknowledge() {
  // Plain and exception boxes both take this answer.
  script_.push_back(Step{CallKind::Plain, {}, platform::mrOk, {}, {}});
  return *this;
}

ScriptedServices& ScriptedServices::answerFile(std::optional<std::string> path) {
  return answerFile([path](const platform::FileDialogRequest&) { return path; });
}

ScriptedServices& ScriptedServices::answerFile(
    std::function<std::optional<std::string>(const platform::FileDialogRequest&)> f) {
  script_.push_back(Step{CallKind::FileDialog, {}, platform::mrNone, std::move(f), {}});
  return *this;
}

ScriptedServices& ScriptedServices::answerInput(std::optional<std::string> text) {
  Step s{CallKind::Input};
  s.text = std::move(text);
  script_.push_back(std::move(s));
  return *this;
}

ScriptedServices& ScriptedServices::answerColor(std::optional<platform::Color> color) {
  Step s{CallKind::Color};
  s.color = color;
  script_.push_back(std::move(s));
  return *this;
}

ScriptedServices& ScriptedServices::answerModal(std::function<ModalResult(platform::Form&)> f) {
  script_.push_back(Step{CallKind::Modal, {}, platform::mrNone, {}, std::move(f)});
  return *this;
}

ScriptedServices& ScriptedServices::answerProcess(std::function<void(const std::vector<std::string>&)> run) {
  Step s{CallKind::Process};
  s.process = std::move(run);
  script_.push_back(std::move(s));
  return *this;
}

ScriptedServices& ScriptedServices::failProcess(int error) {
  Step s{CallKind::Process};
  s.error = error;
  script_.push_back(std::move(s));
  return *this;
}

ScriptedServices& ScriptedServices::answerStart(int error) {
  Step s{CallKind::Start};
  s.error = error;
  script_.push_back(std::move(s));
  return *this;
}

ScriptedServices& ScriptedServices::allowProcesses() {
  realProcesses_ = true;
  return *this;
}

ScriptedServices& ScriptedServices::answerShellOpen(bool opened) {
  Step s{CallKind::Shell};
  s.result = opened ? platform::mrOk : platform::mrCancel;
  script_.push_back(std::move(s));
  return *this;
}

std::vector<Call> ScriptedServices::callsOf(CallKind kind) const {
  std::vector<Call> out;
  for (const Call& c : calls_)
    if (c.kind == kind) out.push_back(c);
  return out;
}

std::vector<std::string> ScriptedServices::messages() const {
  std::vector<std::string> out;
  for (const Call& c : calls_)
    if (c.kind == CallKind::Message || c.kind == CallKind::Plain || c.kind == CallKind::Exception)
      out.push_back(c.text);
  return out;
}

void ScriptedServices::clear() {
  script_.clear();
  calls_.clear();
}

std::optional<ScriptedServices::Step> ScriptedServices::take(const Call& call) {
  calls_.push_back(call);
  const bool boxLike = call.kind == CallKind::Plain || call.kind == CallKind::Exception;
  if (script_.empty() ||
      !(script_.front().kind == call.kind || (boxLike && script_.front().kind == CallKind::Plain))) {
    ADD_FAILURE() << "unexpected " << kindName(call.kind) << ": \"" << call.text << "\""
                  << (script_.empty() ? std::string(" (nothing scripted)")
                                      : std::string(" (scripted: ") + kindName(script_.front().kind) + ")");
    return std::nullopt;
  }
  Step s = std::move(script_.front());
  script_.pop_front();
  return s;
}

ModalResult ScriptedServices::messageBox(const std::string& text, MsgType type, MsgButtons buttons) {
  Call c{CallKind::Message, text};
  c.type = type;
  c.buttons = buttons;
  auto s = take(c);
  return s ? s->result : platform::mrCancel;
}

void ScriptedServices::plainMessage(const std::string& text) { take(Call{CallKind::Plain, text}); }

void ScriptedServices::exceptionBox(const std::string& text) { take(Call{CallKind::Exception, text}); }

std::optional<std::string> ScriptedServices::fileDialog(const platform::FileDialogRequest& request) {
  Call c{CallKind::FileDialog, request.title};
  c.file = request;
  auto s = take(c);
  if (!s) return std::nullopt;
  auto chosen = s->file(request);
  if (chosen) return platform::withDefaultExtension(*chosen, request.defaultExt);
  return chosen;
}

std::optional<std::string> ScriptedServices::inputBox(const std::string& caption, const std::string& prompt,
                                                      const std::string& value) {
  Call c{CallKind::Input, prompt};
  c.caption = caption;
  c.value = value;
  auto s = take(c);
  return s ? s->text : std::nullopt;
}

std::optional<platform::Color> ScriptedServices::colorDialog(platform::Color initial) {
  Call c{CallKind::Color};
  c.color = initial;
  auto s = take(c);
  return s ? s->color : std::nullopt;
}

ModalResult ScriptedServices::showModal(platform::Form& form) {
  auto s = take(Call{CallKind::Modal, form.caption()});
  if (!s) return platform::mrCancel;
  // Showing a form activates it, as the real service does.
  form.activate();
  return s->modal(form);
}

void ScriptedServices::popup(platform::PopupMenu&, int screenX, int screenY) {
  Call c{CallKind::Popup};
  c.x = screenX;
  c.y = screenY;
  calls_.push_back(c);
}

namespace {
platform::QtServices& realPlatform() {
  static platform::QtServices real;
  return real;
}
}  // namespace

int ScriptedServices::createProcess(const std::string& commandLine) {
  if (realProcesses_) {
    calls_.push_back(Call{CallKind::Process, commandLine});
    return realPlatform().createProcess(commandLine);
  }
  auto s = take(Call{CallKind::Process, commandLine});
  if (!s) throw platform::ProcessError("process start not scripted", ENOENT);
  if (!s->process) throw platform::ProcessError("scripted start failure", s->error);
  s->process(platform::commandLineArguments(commandLine));
  scriptedPids_.insert(nextPid_);
  return nextPid_++;
}

bool ScriptedServices::waitForProcess(int pid, std::uint32_t timeLimitMs) {
  if (scriptedPids_.erase(pid) > 0) return true;
  return realPlatform().waitForProcess(pid, timeLimitMs);
}

void ScriptedServices::terminateProcess(int pid) {
  if (scriptedPids_.erase(pid) > 0) return;
  realPlatform().terminateProcess(pid);
}

void ScriptedServices::startProgram(const std::string& commandLine) {
  if (realProcesses_) {
    calls_.push_back(Call{CallKind::Start, commandLine});
    realPlatform().startProgram(commandLine);
    return;
  }
  auto s = take(Call{CallKind::Start, commandLine});
  if (!s) throw platform::ProcessError("program start not scripted", ENOENT);
  if (s->error > 0) throw platform::ProcessError("scripted start failure", s->error);
}

bool ScriptedServices::shellOpen(const std::string& url) {
  auto s = take(Call{CallKind::Shell, url});
  return s && s->result == platform::mrOk;
}

}  // namespace testing_support
