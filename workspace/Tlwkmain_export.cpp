#include "platform/core/BmpFile.h"
#include "platform/core/Convert.h"
#include "platform/qtbase/Resources.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

bool TfrmMain::choosePictureFile() {
  cdlSavePict.setFileName("");
  cdlSavePict.options().initialDir = programFolder;
  return cdlSavePict.execute();
}

void TfrmMain::mnuFile_ExportClick() {
  bool anything = false;
  for (int r = 0; r < grdImage.rowCount() && !anything; ++r)
    for (int c = 0; c < grdImage.colCount() && !anything; ++c) anything = !grdImage.cell(c, r).empty();
  if (!anything) {
    platform::messageDlg("There is nothing to Export", platform::MsgType::Information,
                         platform::MsgButtons::Ok);
    return;
  }
  // The template keeps its 8 bits and 3-3-2 palette; tiles take the nearest palette colour.
  const int w = imagelist1.width(), h = imagelist1.height();
  platform::Bitmap sheet = platform::loadResourceBitmap("256color");
  sheet.resize(grdImage.colCount() * w, grdImage.rowCount() * h);
  sheet.fillRect(platform::Rect{0, 0, sheet.width(), sheet.height()}, platform::clWhite);
  for (int r = 0; r < grdImage.rowCount(); ++r)
    for (int c = 0; c < grdImage.colCount(); ++c) {
      const std::string& text = grdImage.cell(c, r);
      if (!text.empty()) imagelist1.draw(platform::strToInt(text), sheet, c * w, r * h);
    }
  if (choosePictureFile()) platform::saveBmpFile(cdlSavePict.fileName(), sheet);
}

void TfrmMain::mnuSaveClick() {
  platform::Bitmap tile = platform::loadResourceBitmap("256color");
  tile.resize(imagelist1.width(), imagelist1.height());
  tile.fillRect(platform::Rect{0, 0, tile.width(), tile.height()}, platform::clWhite);
  imagelist1.draw(selectedTile(), tile, 0, 0);
  if (choosePictureFile()) platform::saveBmpFile(cdlSavePict.fileName(), tile);
}

}  // namespace tlwk
