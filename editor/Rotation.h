#pragma once

#include "platform/core/Bitmap.h"

namespace pxwk {

// The clockwise turns of Bitmap > Rotate.
enum class Turn { Right90, Right180, Right270 };

// The picture turned clockwise. The result has the source's pixel format and its own copy of the source's
// colour table; its width and height swap for the quarter turns.
platform::Bitmap rotated(const platform::Bitmap& source, Turn turn);

}  // namespace pxwk
