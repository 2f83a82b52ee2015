#include "platform/qtbase/Resources.h"

#include <QFile>

#include "platform/core/BmpFile.h"
#include "platform/qtbase/QtSupport.h"

namespace platform {

Bitmap loadResourceBitmap(const std::string& name) {
  QFile file(qs(":/bitmaps/" + name + ".bmp"));
  if (!file.open(QIODevice::ReadOnly)) throw BitmapError("Resource " + name + " not found");
  const QByteArray bytes = file.readAll();
  return decodeBmp(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                   static_cast<std::size_t>(bytes.size()));
}

}  // namespace platform
