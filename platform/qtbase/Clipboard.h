#pragma once

#include "platform/core/Bitmap.h"

namespace platform {

// The system clipboard, bitmap format.
void emptyClipboard();
bool clipboardHasBitmap();
// The clipboard's bitmap as a 24-bit bitmap; an empty bitmap when it holds none.
Bitmap clipboardBitmap();
// Width and height of the clipboard's bitmap without converting it (0 x 0 when it holds none).
struct BitmapSize {
  int width = 0, height = 0;
};
BitmapSize clipboardBitmapSize();
void setClipboardBitmap(const Bitmap& bitmap);

}  // namespace platform
