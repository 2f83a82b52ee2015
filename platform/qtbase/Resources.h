#pragma once

#include <string>

#include "platform/core/Bitmap.h"

namespace platform {

// A bitmap compiled into the program's resources by name ("256color"); a BitmapError when there is none.
Bitmap loadResourceBitmap(const std::string& name);

}  // namespace platform
