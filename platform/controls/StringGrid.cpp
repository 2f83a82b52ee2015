#include "platform/controls/StringGrid.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <map>

#include "platform/qtbase/QtSupport.h"

namespace platform {

StringGrid::StringGrid(Container& parent) : CustomGrid(parent) { cells_.resize(colCount(), rowCount()); }

void StringGrid::countsChanged(int, int) { cells_.resize(colCount(), rowCount()); }

std::string StringGrid::cell(int col, int row) const { return cells_.text(col, row); }

void StringGrid::setCell(int col, int row, const std::string& text) {
  if (col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return;
  cells_.set(col, row, text);
  repaintCell(col, row);
}

void StringGrid::setCells(int cols, int rows, const std::function<std::string(int)>& textOf) {
  setCounts(std::max(1, cols), std::max(1, rows));
  for (int r = 0, i = 0; r < rowCount(); ++r)
    for (int c = 0; c < colCount(); ++c, ++i) cells_.set(c, r, textOf(i));
  repaint();
}

void StringGrid::clearCells() {
  cells_.clear();
  repaint();
}

namespace {

// Cell texts are mostly short numbers, thousands per repaint: each character is rendered once per font and
// ink and then blended from the cache, which is many times faster than laying out every text.
class GlyphCache {
 public:
  struct Glyph {
    QImage image;  // premultiplied, the font's full height
    int advance = 0;
  };

  const Glyph& glyph(const QFont& font, QRgb ink, char ch) {
    if (font != font_ || ink != ink_) {
      font_ = font;
      ink_ = ink;
      glyphs_.clear();
    }
    auto it = glyphs_.find(ch);
    if (it != glyphs_.end()) return it->second;
    const QFontMetrics m(font_);
    Glyph g;
    g.advance = m.horizontalAdvance(QChar(ch));
    g.image = QImage(std::max(1, g.advance + 2), m.height(), QImage::Format_ARGB32_Premultiplied);
    g.image.fill(Qt::transparent);
    QPainter p(&g.image);
    p.setFont(font_);
    p.setPen(QColor::fromRgb(ink_));
    p.drawText(0, m.ascent(), QString(QChar(ch)));
    return glyphs_.emplace(ch, std::move(g)).first->second;
  }

 private:
  QFont font_;
  QRgb ink_ = 0;
  std::map<char, Glyph> glyphs_;
};

void blend(Bitmap& surface, const QImage& glyph, int x0, int y0, const Rect& clip) {
  for (int gy = 0; gy < glyph.height(); ++gy) {
    const int y = y0 + gy;
    if (y < clip.top || y >= clip.bottom) continue;
    const auto* src = reinterpret_cast<const QRgb*>(glyph.constScanLine(gy));
    std::uint32_t* dst = surface.wordRow(y);
    for (int gx = 0; gx < glyph.width(); ++gx) {
      const int x = x0 + gx;
      const unsigned a = qAlpha(src[gx]);
      if (a == 0 || x < clip.left || x >= clip.right) continue;
      const std::uint32_t d = dst[x];
      const auto mix = [&](unsigned s, unsigned dv) { return s + dv * (255 - a) / 255; };
      dst[x] = 0xFF000000u | (mix(qRed(src[gx]), (d >> 16) & 0xFF) << 16) |
               (mix(qGreen(src[gx]), (d >> 8) & 0xFF) << 8) | mix(qBlue(src[gx]), d & 0xFF);
    }
  }
}

bool plainAscii(std::string_view text) {
  for (unsigned char ch : text)
    if (ch < 0x20 || ch > 0x7E) return false;
  return true;
}

}  // namespace

void StringGrid::paintContents(int firstCol, int lastCol, int firstRow, int lastRow) {
  static GlyphCache cache;
  const QRgb ink =
      (redOf(color()) + greenOf(color()) + blueOf(color())) < 384 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  const QFont font = widget_->font();
  const Rect whole{0, 0, canvas().width(), canvas().height()};
  CellTexts::Digits digits;
  for (int r = firstRow; r < lastRow; ++r)
    for (int c = firstCol; c < lastCol; ++c) {
      const std::string_view text = cells_.view(c, r, digits);
      if (text.empty()) continue;
      Rect rect = cellRect(c, r);
      rect.right = std::min(rect.right, whole.right);
      rect.bottom = std::min(rect.bottom, whole.bottom);
      if (rect.empty()) continue;
      if (plainAscii(text)) {
        int x = rect.left + 2;
        for (char ch : text) {
          if (x >= rect.right) break;
          const GlyphCache::Glyph& g = cache.glyph(font, ink, ch);
          blend(canvas(), g.image, x, rect.top + 2, rect);
          x += g.advance;
        }
        continue;
      }
      QImage img = toQImage(canvas());
      QPainter p(&img);
      p.setFont(font);
      p.setPen(QColor::fromRgb(ink));
      p.setClipRect(rect.left, rect.top, rect.width(), rect.height());
      p.drawText(QRect(rect.left + 2, rect.top + 2, rect.width() - 2, rect.height() - 2),
                 Qt::AlignLeft | Qt::AlignTop, qs(std::string(text)));
    }
}

}  // namespace platform
