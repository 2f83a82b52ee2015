#include "platform/core/BmpFile.h"
#include "platform/core/Files.h"
#include "platform/core/Paths.h"
#include "platform/qtbase/Services.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

using platform::MsgButtons;
using platform::MsgType;

namespace {
// The editor program beside the workspace; programs carry no extension here.
constexpr const char* kEditorName = "pxwkproj";
constexpr const char* kTileFileName = "tempbmp.bmp";
}  // namespace

std::string TfrmMain::tileFileFolder() const {
  // An installed program's folder is not the user's to write in.
  if (platform::folderWritable(tempFolder)) return tempFolder;
  return platform::userCacheFolder("Halvorn", "tlwkproj");
}

void TfrmMain::mnuModifyClick() {
  if (imagelist1.count() == 0) {
    platform::messageDlg("There is nothing to modify..", MsgType::Error, MsgButtons::Ok);
    return;
  }
  const std::int32_t index = selectedTile();
  if (index >= imagelist1.count()) return;
  const platform::Bitmap tile = imagelist1.image(index);

  editorPath = UseExternalEd.checked() ? externalEditor : editorFolder + kEditorName;
  if (!platform::fileExists(editorPath)) {
    if (platform::messageDlg("The tile editor cannot be found. Do you wish to find it yourself?",
                             MsgType::Warning, MsgButtons::YesNo) != platform::mrYes)
      return;
    do {
      accepted = false;
      if (!cdlOpenExe.execute()) return;
      if (platform::extractFileName(cdlOpenExe.fileName()) == kEditorName) {
        accepted = true;
      } else {
        platform::messageDlg("This is not the correct filename", MsgType::Error, MsgButtons::Ok);
      }
    } while (!accepted);
    editorFolder = EnsureTrailingBackslash(platform::extractFilePath(cdlOpenExe.fileName()));
    SaveSettings();
    editorPath = editorFolder + kEditorName;
  }

  const std::string tileFile = tileFileFolder() + kTileFileName;
  platform::saveBmpFile(tileFile, tile);
  RunAndWait(editorPath, "\"" + tileFile + "\"", platform::kInfinite, platform::ShowCommand::Show);

  imagelist1.replace(index, platform::loadBmpFile(tileFile));
  // The editor's window covered the workspace; uncovering it does not repaint our grids' surfaces, so the
  // new image is painted here.
  grdImageList.repaint();
  grdImage.repaint();
}

void TfrmMain::mnuHelp_HelpClick() {
  RunAndWait(platform::helpViewerPath(), programFolder + "tlwkhelp.chm", platform::kInfinite,
             platform::ShowCommand::Show);
}

std::string TfrmMain::RunAndWait(const std::string& program, const std::string& argument,
                                 std::uint32_t timeLimitMs, platform::ShowCommand) {
  if (!platform::fileExists(program) && !platform::fileExists(argument)) return "Process file does not exist";
  int pid;
  try {
    pid = platform::services().createProcess("\"" + program + "\" " + argument);
  } catch (const platform::ProcessError& e) {
    return "Createproccess failed " + program + " " + argument + " " + std::to_string(e.code());
  }
  std::string message;
  if (!platform::services().waitForProcess(pid, timeLimitMs)) {
    message = "Timeout has occured in waiting for result from compiler.";
    platform::services().terminateProcess(pid);
  }
  return message;
}

}  // namespace tlwk
