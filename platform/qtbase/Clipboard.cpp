#include "platform/qtbase/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/qtbase/QtSupport.h"

namespace platform {

void emptyClipboard() { QGuiApplication::clipboard()->clear(); }

bool clipboardHasBitmap() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasImage();
}

Bitmap clipboardBitmap() {
  const QImage image = QGuiApplication::clipboard()->image();
  return image.isNull() ? Bitmap() : fromQImage(image);
}

BitmapSize clipboardBitmapSize() {
  const QImage image = QGuiApplication::clipboard()->image();
  return image.isNull() ? BitmapSize{} : BitmapSize{image.width(), image.height()};
}

void setClipboardBitmap(const Bitmap& bitmap) {
  QGuiApplication::clipboard()->setImage(toQImage(bitmap).copy());
}

}  // namespace platform
