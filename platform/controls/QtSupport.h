#pragma once

// Helpers shared by the layer's Qt-side sources; never included by the programs.

#include <QFont>
#include <QImage>
#include <QString>
#include <string>

#include "platform/bitmap/Bitmap.h"
#include "platform/controls/Control.h"

namespace platform {

QFont qtFont(const Font& font);

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

// A view of a direct bitmap's words as an image, without copying; indexed bitmaps are converted.
QImage toQImage(const Bitmap& bitmap);
// A 24-bit bitmap with the image's colours.
Bitmap fromQImage(const QImage& image);

}  // namespace platform
