#include "platform/core/Convert.h"
#include "platform/core/Paths.h"
#include "platform/qtbase/Settings.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

namespace {
platform::Settings openSection() { return platform::Settings("Halvorn", "tlwkproj"); }
}  // namespace

std::string useExternalEdCaption(const std::string& editorPath) {
  return "Use " + platform::changeFileExt(platform::extractFileName(editorPath), "") + " to Edit Bitmaps";
}

void TfrmMain::updateUseExternalEdCaption() { UseExternalEd.setCaption(useExternalEdCaption(externalEditor)); }

void TfrmMain::LoadSettings() {
  const platform::Settings s = openSection();
  programFolder = s.readString("Install", "nodir");
  editorFolder = s.readString("Bmpdir", "nodir");
  projectToReopen = s.readString("Startup", "nostartup");
  // Any whole number but 0 switches the external editor on; a text that is no number counts as missing.
  std::int32_t extEd = 0;
  UseExternalEd.setChecked(platform::tryStrToInt(s.readString("Ext Ed", "0"), extEd) && extEd != 0);
  externalEditor = s.readString("Editor", "");
  updateUseExternalEdCaption();
}

void TfrmMain::SaveSettings() {
  platform::Settings s = openSection();
  s.writeString("Install", programFolder);
  s.writeString("Bmpdir", editorFolder);
  s.writeString("Startup", projectToReopen);
  s.writeString("Ext Ed", UseExternalEd.checked() ? "1" : "0");
  s.writeString("Editor", externalEditor);
  s.sync();
}

void TfrmMain::SelectExternalTileEditor1Click() {
  if (!SelectEd.execute()) return;
  externalEditor = SelectEd.fileName();
  updateUseExternalEdCaption();
}

void TfrmMain::UseExternalEdClick() { UseExternalEd.setChecked(!UseExternalEd.checked()); }

}  // namespace tlwk
