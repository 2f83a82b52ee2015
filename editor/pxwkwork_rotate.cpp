#include "editor/pxwkwork.h"

namespace pxwk {

void TfrmMain::rotate(Turn turn) {
  PushUndo();
  // Turns the document bitmap: drawing not yet written to it stays only in the undo snapshot.
  document = rotated(document, turn);
  imgActual.setPicture(document);
  grdIcon.setCounts(document.width(), document.height());
  sizeGrid();
  RedrawGrid();
}

void TfrmMain::mnuBitmap_Rotate_Right90Click() { rotate(Turn::Right90); }
void TfrmMain::mnuBitmap_Rotate180Click() { rotate(Turn::Right180); }
void TfrmMain::mnuBitmap_Rotate_Right270Click() { rotate(Turn::Right270); }

}  // namespace pxwk
