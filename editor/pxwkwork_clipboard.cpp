#include "editor/PasteRules.h"
#include "editor/pxwkwork.h"
#include "platform/controls/Application.h"
#include "platform/qtbase/Clipboard.h"

namespace pxwk {

using platform::Bitmap;
using platform::Rect;

int TfrmMain::shownGridWidth() const {
  return shownExtent(grdIcon.colCount(), grdIcon.leftCol(), grdIcon.defaultColWidth(), grdIcon.viewWidth());
}

int TfrmMain::shownGridHeight() const {
  return shownExtent(grdIcon.rowCount(), grdIcon.topRow(), grdIcon.defaultRowHeight(), grdIcon.viewHeight());
}

void TfrmMain::mnuEditClick() {
  if (&currentTool() != &tools::pointer) {
    for (platform::MenuItem* item : {&mnuEdit_Cut, &mnuEdit_Copy, &mnuEdit_Paste}) item->setEnabled(false);
    return;
  }
  bool pasteAllowed = false;
  if (platform::clipboardHasBitmap()) {
    // Only its size decides; a large picture from another program is not converted just to be measured.
    const platform::BitmapSize size = platform::clipboardBitmapSize();
    pasteAllowed = size.width > 0 && size.height > 0 &&
                   pasteFits(size.width, size.height, shownGridWidth(), shownGridHeight());
  }
  mnuEdit_Paste.setEnabled(pasteAllowed);
  mnuEdit_Cut.setEnabled(selectionActive);
  mnuEdit_Copy.setEnabled(selectionActive);
}

Bitmap TfrmMain::captureSelection() {
  platform::emptyClipboard();
  // The repaint takes the marquee off, so every captured cell shows its working-image colour.
  RedrawGrid();
  const Rect r = captureRect(selectionStart.col, selectionStart.row, selectionEnd.col, selectionEnd.row,
                             grdIcon.leftCol(), grdIcon.topRow(), grdIcon.defaultColWidth());
  // Cells out of view have no screen pixels: their part of the capture stays white.
  Bitmap scratch(r.width(), r.height());
  scratch.copyRect(Rect{0, 0, r.width(), r.height()}, grdIcon.canvas(), r);
  return scratch;
}

void TfrmMain::mnuEdit_CopyClick() {
  PushUndo();
  const platform::BusyCursor busy;
  const Bitmap scratch = captureSelection();
  platform::setClipboardBitmap(scratch);
  selectionActive = false;
}

void TfrmMain::mnuEdit_CutClick() {
  PushUndo();
  const platform::BusyCursor busy;
  const Bitmap scratch = captureSelection();
  const Rect cut{selectionStart.col, selectionStart.row, selectionEnd.col + 1, selectionEnd.row + 1};
  editWorkingImage(cut).fillRect(cut, platform::clWhite);
  document.fillRect(cut, platform::clWhite);
  imgActual.repaint();
  platform::setClipboardBitmap(scratch);
  selectionActive = false;
  RedrawGrid();
}

void TfrmMain::mnuEdit_PasteClick() {
  PushUndo();
  Bitmap image = platform::clipboardBitmap();
  // Taken as the grid shows it, without a repaint, so an earlier floating image stays in it.
  const int w = shownGridWidth(), h = shownGridHeight();
  Bitmap snapshot(w, h);
  snapshot.copyRect(Rect{0, 0, w, h}, grdIcon.canvas(), Rect{0, 0, w, h});
  pasteImage = std::move(image);
  gridSnapshot = std::move(snapshot);
  grdIcon.canvas().draw(0, 0, gridSnapshot);
  grdIcon.canvas().draw(0, 0, pasteImage);
  grdIcon.flush();
  floatingPasteActive = true;
}

void TfrmMain::movePaste(int x, int y) {
  if (!pasteDragTaken(x, y, pasteImage.width(), pasteImage.height(), shownGridWidth(), shownGridHeight()))
    return;
  const GridCoord c = grdIcon.mouseCoord(x, y);
  if (c.col < 0) return;
  // Placed from the grid's first column and row, also when the grid is scrolled.
  const int pitch = cellPitch(grdIcon.defaultColWidth());
  grdIcon.canvas().draw(0, 0, gridSnapshot);
  grdIcon.canvas().draw(c.col * pitch, c.row * pitch, pasteImage);
  grdIcon.flush();
}

void TfrmMain::commitPaste() {
  const Bitmap& screen = grdIcon.canvas();
  const Bitmap& image = workingImage();
  for (int i = 0; i < grdIcon.rowCount(); ++i)
    for (int j = 0; j < grdIcon.colCount(); ++j) {
      const Rect r = grdIcon.cellRect(j, i);
      platform::Color c = r.empty() ? platform::clInvalid : screen.pixel(r.left + 1, r.top + 1);
      // A cell that is out of view keeps the colour the user last saw in it.
      if (c == platform::clInvalid) c = image.pixel(j, i);
      document.setPixel(j, i, c);
    }
  editWorkingImage().draw(0, 0, document);
  imgActual.repaint();
  floatingPasteActive = false;
  selectionActive = false;
  pasteImage = Bitmap();
  gridSnapshot = Bitmap();
  RedrawGrid();
}

}  // namespace pxwk
