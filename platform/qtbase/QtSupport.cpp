#include "platform/qtbase/QtSupport.h"

#include <QApplication>
#include <QIcon>
#include <QToolButton>

namespace platform {

QToolButton* pictureButton(const std::string& picture, int iconSize, const bool& down,
                           std::function<void()> onClick) {
  auto* b = new QToolButton();
  b->setAutoRaise(true);
  b->setIcon(QIcon(qs(":/icons/" + picture + ".png")));
  b->setIconSize(QSize(iconSize, iconSize));
  b->setCheckable(true);
  // Tool and speed buttons are clicked, never tabbed to: a focus frame would look like a down button.
  b->setFocusPolicy(Qt::NoFocus);
  // `down` belongs to a control still being built: it is read only once the button is clicked.
  QObject::connect(b, &QToolButton::clicked, [b, &down, onClick = std::move(onClick)] {
    b->setChecked(down);
    onClick();
  });
  return b;
}

QWidget* modalOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if ((*it)->isVisible() && !(*it)->inherits("QMenu")) return *it;
  return nullptr;
}

QImage toQImage(const Bitmap& bitmap) {
  if (bitmap.empty()) return QImage();
  if (!bitmap.indexed()) {
    auto* data = reinterpret_cast<uchar*>(const_cast<std::uint32_t*>(bitmap.wordRow(0)));
    return QImage(data, bitmap.width(), bitmap.height(), bitmap.width() * 4, QImage::Format_RGB32);
  }
  if (bitmap.pixelFormat() == PixelFormat::pf8bit) {
    // One byte per pixel already: a view through the colour table, converted only where it is drawn.
    auto* data = const_cast<uchar*>(bitmap.indexRow(0));
    QImage img(data, bitmap.width(), bitmap.height(), bitmap.width(), QImage::Format_Indexed8);
    QList<QRgb> table(256, 0xFF000000u);
    for (std::size_t i = 0; i < bitmap.colorTable().size() && i < 256; ++i)
      table[static_cast<qsizetype>(i)] = toWord(bitmap.colorTable()[i]);
    img.setColorTable(table);
    return img;
  }
  QImage img(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
    for (int x = 0; x < bitmap.width(); ++x) row[x] = bitmap.wordAt(x, y);
  }
  return img;
}

Bitmap fromQImage(const QImage& image) {
  const QImage img = image.convertToFormat(QImage::Format_RGB32);
  Bitmap b(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
    std::uint32_t* dst = b.wordRow(y);
    for (int x = 0; x < img.width(); ++x) dst[x] = 0xFF000000u | row[x];
  }
  return b;
}

}  // namespace platform
