#include "platform/core/BmpFile.h"
#include "platform/core/Paths.h"
#include "workspace/TileRules.h"
#include "workspace/Tlwkimpo.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

using platform::MsgButtons;
using platform::MsgType;

void TfrmMain::mnuFile_importClick() {
  if (platform::messageDlg("This will clear any existing work.\rDo you wish to continue?", MsgType::Warning,
                           MsgButtons::YesNo) != platform::mrYes)
    return;
  ClearWorkspace();

  do {
    accepted = true;
    if (!cdlOpenPict.execute()) return;
    const std::string file = cdlOpenPict.fileName();
    cdlOpenPict.options().initialDir = platform::extractFilePath(file);
    importedBitmap = std::make_shared<const platform::Bitmap>();
    importedWidth = importedHeight = 0;
    importedBitmap = std::make_shared<const platform::Bitmap>(platform::loadBmpFile(file));
    importedWidth = importedBitmap->width();
    importedHeight = importedBitmap->height();
    if (importedWidth < kMinTileSize || importedHeight < kMinTileSize) {
      platform::messageDlg(
          "Bitmap should be " + std::to_string(kMinTileSize) + " pixels or greater in width/height",
          MsgType::Error, MsgButtons::Ok);
      accepted = false;
    }
    if (importedBitmap->bitsPerPixel() != 4 && importedBitmap->bitsPerPixel() != 8) {
      platform::messageDlg("Imported image must be have 256 colors or less", MsgType::Error, MsgButtons::Ok);
      accepted = false;
    }
  } while (!accepted);

  if (!frmImport) {
    ownImport_ = std::make_unique<TfrmImport>(*this);
    frmImport = ownImport_.get();
  }
  TfrmImport& dlg = *frmImport;
  dlg.lblFilename.setCaption("Imported Filename: " + cdlOpenPict.fileName());
  dlg.lblImportX.setCaption("Bitmap Width: " + std::to_string(importedWidth));
  dlg.lblImportY.setCaption("Bitmap Height: " + std::to_string(importedHeight));
  // The bars' change handlers run at each move, so the order of these settings matters. A tile never
  // outgrows the bitmap, so at least one fits across and down.
  const struct {
    platform::ScrollBar& size;
    platform::Edit& sizeText;
    int side;
  } sizes[] = {{dlg.hsbTileWidth, dlg.txtTileWidth, importedWidth},
               {dlg.hsbTileHeight, dlg.txtTileHeight, importedHeight}};
  for (const auto& s : sizes) {
    s.size.setMin(kMinTileSize);
    s.size.setMax(tileSizeMaximum(s.side));
    s.size.setPosition(tileSizeStart(s.side));
    s.sizeText.setText(std::to_string(s.size.position()));
  }
  const struct {
    platform::ScrollBar& count;
    platform::Edit& countText;
    int side;
    const platform::ScrollBar& size;
  } counts[] = {{dlg.hsbTilesAcross, dlg.txtTilesAcross, importedWidth, dlg.hsbTileWidth},
                {dlg.hsbTilesDown, dlg.txtTilesDown, importedHeight, dlg.hsbTileHeight}};
  for (const auto& c : counts) {
    c.count.setMin(1);
    c.count.setMax(tileCountMaximum(c.side, c.size.position()));
    c.count.setPosition(tileCountStart(c.count.max()));
    c.countText.setText(std::to_string(c.count.position()));
  }

  for (;;) {
    dlg.showModal();
    const int w = dlg.hsbTileWidth.position(), h = dlg.hsbTileHeight.position();
    const int across = dlg.hsbTilesAcross.position(), down = dlg.hsbTilesDown.position();
    imagelist1.clear();
    setTileSize(w, h);
    imagelist1.appendTiles(*importedBitmap, across, across * down);
    for (int i = 0; i < across * down && i < grdImageList.colCount(); ++i)
      grdImageList.setCell(i, 0, std::to_string(i));
    // Cell (c, r) shows the tile cut from its own place, r * across + c.
    grdImage.setCells(across, down, [](int i) { return std::to_string(i); });
    grdImage.show();
    lblWorkSpace.show();
    if (platform::messageDlg("Do the available tiles appear to be correct?", MsgType::Confirmation,
                             MsgButtons::YesNo) == platform::mrYes)
      break;
  }
  showGridPanels();
  StatusBar.setPanelText(2, "Project: " + projectName);
}

}  // namespace tlwk
