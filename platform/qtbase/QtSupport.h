#pragma once

// Helpers shared by the layer's Qt-side sources; never included by the programs.

#include <QFont>
#include <QImage>
#include <QString>
#include <functional>
#include <string>

#include "platform/core/Bitmap.h"

class QToolButton;

namespace platform {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

// A flat button showing a picture from the program's resources whose down state only the program sets:
// Qt's own toggle on a press is put back from `down` before `onClick` runs.
QToolButton* pictureButton(const std::string& picture, int iconSize, const bool& down,
                           std::function<void()> onClick);

// A window frame with exactly the title-bar boxes named: the window manager offers no others.
inline Qt::WindowFlags framedWith(Qt::WindowFlags kind) {
  return kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowCloseButtonHint;
}
// A modal dialog's frame: a close box only (no minimise box: it belongs to its owner).
inline Qt::WindowFlags dialogFrame() { return framedWith(Qt::Dialog); }

// The window a modal window opened now belongs to: the modal window on top, else the active window, else
// the last shown of our visible windows (a bare X server activates none).
QWidget* modalOwner();

// The pixels of a dotted focus rectangle on [left, right) x [top, bottom), as Windows draws one: every other
// pixel of its outline, from the top-left corner.
template <class Dot>
void focusDots(int left, int top, int right, int bottom, Dot dot) {
  for (int x = left; x < right; x += 2) {
    dot(x, top);
    dot(x, bottom - 1);
  }
  for (int y = top + 2; y < bottom - 1; y += 2) {
    dot(left, y);
    dot(right - 1, y);
  }
}

// A view of a direct bitmap's words as an image, without copying; indexed bitmaps are converted.
QImage toQImage(const Bitmap& bitmap);
// A 24-bit bitmap with the image's colours.
Bitmap fromQImage(const QImage& image);

}  // namespace platform
