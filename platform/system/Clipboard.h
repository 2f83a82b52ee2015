#pragma once

#include "platform/bitmap/Bitmap.h"

namespace platform {

// The system clipboard, bitmap format.
void emptyClipboard();
bool clipboardHasBitmap();
// The clipboard's bitmap as a 24-bit bitmap; an empty bitmap when it holds none.
Bitmap clipboardBitmap();
void setClipboardBitmap(const Bitmap& bitmap);

}  // namespace platform
