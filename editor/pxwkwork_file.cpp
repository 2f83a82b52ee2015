#include "editor/EditorRules.h"
#include "editor/pxwkwork.h"
#include "platform/core/BmpFile.h"

namespace pxwk {

platform::Bitmap TfrmMain::loadDocument(const std::string& path) const {
  platform::Bitmap bitmap = platform::loadBmpFile(path);
  giveEditorPalette(bitmap, editorPalette);
  return bitmap;
}

void TfrmMain::saveDocument(const std::string& path) {
  document.draw(0, 0, workingImage());
  platform::saveBmpFile(path, document);
}

void TfrmMain::NewFileClick() {
  replaceDocument(platform::Bitmap(100, 100), "");
  SaveFile.setEnabled(false);
}

void TfrmMain::OpenFileClick() {
  if (!cdlOpen.execute()) return;
  // Loaded first, so a file that fails leaves the name and the document as they were and a later Save
  // cannot write the former document over it.
  replaceDocument(loadDocument(cdlOpen.fileName()), cdlOpen.fileName());
}

void TfrmMain::SaveFileClick() { saveDocument(fileName); }

void TfrmMain::SaveFileAsClick() {
  if (!cdlSave.execute()) return;
  saveDocument(cdlSave.fileName());
  fileName = cdlSave.fileName();
  SaveFile.setEnabled(true);
}

}  // namespace pxwk
