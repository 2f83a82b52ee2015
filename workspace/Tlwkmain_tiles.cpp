#include "platform/core/BmpFile.h"
#include "workspace/TileRules.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

using platform::MsgButtons;
using platform::MsgType;

namespace {
// What the list grid shows behind and around its tiles: the system desktop colour.
const platform::Color kDesktopColor = platform::clBlack;

void errorBox(const std::string& text) { platform::messageDlg(text, MsgType::Error, MsgButtons::Ok); }
}  // namespace

void TfrmMain::grdImageListDrawCell(int col, int row, const platform::Rect& rect) {
  const int index = row * kListColumns + col;
  auto& canvas = grdImageList.canvas();
  canvas.fillRect(rect, kDesktopColor);
  imagelist1.draw(index, canvas, rect.left, rect.top);
}

void TfrmMain::grdImageListSelectCell(int col, int row) {
  selectedTileCol = col;
  selectedTileRow = row;
}

void TfrmMain::grdImageListMouseDown(platform::MouseButton button, int x, int y) {
  if (button == platform::MouseButton::Right) {
    imagepopup.popup(screenLeft() + grdImageList.left() + x,
                     screenTop() + grdImageList.top() + grdImageList.height() + y);
  } else if (button == platform::MouseButton::Left) {
    int c, r;
    if (!grdImageList.mouseToCell(x, y, c, r)) return;
    grdImageList.setCurrent(c, r);
    grdImageList.drawFocusRect(grdImageList.cellRect(c, r));
  }
}

std::optional<platform::Bitmap> TfrmMain::bitmapIntake() {
  for (;;) {
    accepted = true;
    if (!cdlOpenPict.execute()) return std::nullopt;
    platform::Bitmap bitmap = platform::loadBmpFile(cdlOpenPict.fileName());
    if (imagelist1.count() > 0) {
      if (bitmap.width() != imagelist1.width() || bitmap.height() != imagelist1.height()) {
        errorBox("All images must be the same width and height");
        accepted = false;
      }
      if (bitmap.bitsPerPixel() != 4 && bitmap.bitsPerPixel() != 8) {
        errorBox("Added image must be have 256 colors or less");
        accepted = false;
      }
    }
    if (accepted) return bitmap;
  }
}

void TfrmMain::setTileSize(int width, int height) {
  imagelist1.setSize(width, height);
  grdImage.setDefaultColWidth(width);
  grdImage.setDefaultRowHeight(height);
  grdImageList.setDefaultColWidth(width);
  grdImageList.setDefaultRowHeight(height);
  grdImageList.setHeight(height + kListExtraHeight);
}

void TfrmMain::showGridPanels() {
  StatusBar.setPanelText(
      0, "Grid Size: " + std::to_string(grdImage.colCount()) + "x" + std::to_string(grdImage.rowCount()));
  StatusBar.setPanelText(1, "Num of images: " + std::to_string(imagelist1.count()));
}

void TfrmMain::renumberCells(std::string (*rule)(const std::string&, std::int32_t), std::int32_t k) {
  for (int r = 0; r < grdImage.rowCount(); ++r)
    for (int c = 0; c < grdImage.colCount(); ++c) {
      const std::string& text = grdImage.cell(c, r);
      if (text.empty()) continue;
      std::string renumbered = rule(text, k);
      if (renumbered != text) grdImage.setCell(c, r, renumbered);
    }
}

void TfrmMain::mnuAddClick() {
  std::optional<platform::Bitmap> bitmap = bitmapIntake();
  if (!bitmap) return;
  if (imagelist1.count() == 0) {
    const int w = bitmap->width(), h = bitmap->height();
    if (w < kMinTileSize || w > kMaxTileSize || h < kMinTileSize || h > kMaxTileSize) {
      errorBox("Bitmap not a valid size.It must be " + std::to_string(kMinTileSize) + "-" +
               std::to_string(kMaxTileSize) + " pixels in size");
      return;
    }
    imagelist1.clear();
    setTileSize(w, h);
    grdImage.setColCount(firstTileColumns(w));
    grdImage.setRowCount(firstTileRows(h));
    grdImage.show();
    lblWorkSpace.show();
  }
  imagelist1.add(*bitmap);
  grdImageList.setCell(imagelist1.count() - 1, 0, "");
  showGridPanels();
  grdImageList.repaint();
  grdImage.repaint();
}

void TfrmMain::mnuDeleteClick() {
  if (imagelist1.count() == 0) return;
  const std::int32_t k = selectedTile();
  if (k > imagelist1.count() - 1) return;
  imagelist1.remove(k);
  renumberCells(renumberForDelete, k);
  if (imagelist1.count() == 0) {
    grdImage.hide();
    lblWorkSpace.hide();
    StatusBar.setPanelText(0, "Grid Size: 0x0");
    StatusBar.setPanelText(1, "Num of images: 0");
    grdImage.clearCells();
  } else {
    showGridPanels();
  }
  grdImageList.repaint();
}

void TfrmMain::mnuReplaceClick() {
  const std::int32_t k = selectedTile();
  if (imagelist1.count() == 0 || k > imagelist1.count() - 1) {
    errorBox("There is nothing to replace");
    return;
  }
  std::optional<platform::Bitmap> bitmap = bitmapIntake();
  if (!bitmap) return;
  imagelist1.replace(k, *bitmap);
  grdImageList.repaint();
  grdImage.repaint();
}

void TfrmMain::mnuInsertClick() {
  if (imagelist1.count() == 0) {
    errorBox("There is nothing to insert into..");
    return;
  }
  // A list column more than one past the last tile names no place to insert at: nothing happens.
  const std::int32_t k = selectedTile();
  if (k > imagelist1.count()) return;
  std::optional<platform::Bitmap> bitmap = bitmapIntake();
  if (!bitmap) return;
  imagelist1.insert(k, *bitmap);
  renumberCells(renumberForInsert, k);
  grdImageList.repaint();
  grdImage.repaint();
  StatusBar.setPanelText(1, "Num of images: " + std::to_string(imagelist1.count()));
}

}  // namespace tlwk
