#include "platform/controls/StringGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <QFontMetrics>
#include <algorithm>
#include <map>
#include <memory>

#include "platform/controls/Application.h"
#include "platform/controls/QtSupport.h"

namespace platform {

namespace {
constexpr int kBorder = 2;
constexpr int kScrollBarSize = 16;
const Color kLineColor = rgb(192, 192, 192);

ShiftState shiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  ShiftState s;
  s.shift = m & Qt::ShiftModifier;
  s.ctrl = m & Qt::ControlModifier;
  s.alt = m & Qt::AltModifier;
  s.left = b & Qt::LeftButton;
  s.right = b & Qt::RightButton;
  s.middle = b & Qt::MiddleButton;
  return s;
}

bool buttonOf(Qt::MouseButton qb, MouseButton& b) {
  if (qb == Qt::LeftButton) b = MouseButton::Left;
  else if (qb == Qt::RightButton) b = MouseButton::Right;
  else if (qb == Qt::MiddleButton) b = MouseButton::Middle;
  else return false;
  return true;
}
}  // namespace

class GridWidget : public QWidget {
 public:
  explicit GridWidget(StringGrid* grid) : grid_(grid) {
    hbar = new QScrollBar(Qt::Horizontal, this);
    vbar = new QScrollBar(Qt::Vertical, this);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(hbar, &QScrollBar::valueChanged, [this](int v) { grid_->scrollTo(v, grid_->topRow_); });
    connect(vbar, &QScrollBar::valueChanged, [this](int v) { grid_->scrollTo(grid_->leftCol_, v); });
  }

  // The area inside the border and the scroll bars.
  QRect clientRect() const {
    const int w = width() - 2 * kBorder - (vbar->isVisibleTo(this) ? kScrollBarSize : 0);
    const int h = height() - 2 * kBorder - (hbar->isVisibleTo(this) ? kScrollBarSize : 0);
    return QRect(kBorder, kBorder, std::max(0, w), std::max(0, h));
  }

  void placeBars() {
    const QRect c = clientRect();
    hbar->setGeometry(kBorder, kBorder + c.height(), c.width(), kScrollBarSize);
    vbar->setGeometry(kBorder + c.width(), kBorder, kScrollBarSize, c.height());
  }

  QScrollBar* hbar;
  QScrollBar* vbar;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(0, 0, width() - 1, height() - 1);
    p.setPen(palette().color(QPalette::Shadow));
    p.drawRect(1, 1, width() - 3, height() - 3);
    const QRect c = clientRect();
    if (!grid_->surface_.empty()) p.drawImage(c.topLeft(), toQImage(grid_->surface_));
  }
  void resizeEvent(QResizeEvent*) override {
    placeBars();
    grid_->resizeSurface();
  }
  void showEvent(QShowEvent*) override { grid_->repaint(); }
  QPoint local(QMouseEvent* e) const { return e->position().toPoint() - clientRect().topLeft(); }
  void mousePressEvent(QMouseEvent* e) override {
    MouseButton b;
    if (!buttonOf(e->button(), b)) return;
    const QPoint pt = local(e);
    guarded([&] { grid_->mousePressed(b, shiftOf(e->modifiers(), e->buttons()), pt.x(), pt.y()); });
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    MouseButton b;
    if (!buttonOf(e->button(), b)) return;
    ShiftState s = shiftOf(e->modifiers(), e->buttons());
    s.doubleClick = true;
    const QPoint pt = local(e);
    guarded([&] { grid_->mousePressed(b, s, pt.x(), pt.y()); });
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    const QPoint pt = local(e);
    guarded([&] { grid_->mouseMoved(shiftOf(e->modifiers(), e->buttons()), pt.x(), pt.y()); });
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    MouseButton b;
    if (!buttonOf(e->button(), b)) return;
    const QPoint pt = local(e);
    guarded([&] { grid_->mouseReleased(b, shiftOf(e->modifiers(), e->buttons()), pt.x(), pt.y()); });
  }
  void keyPressEvent(QKeyEvent* e) override {
    guarded([&] { grid_->keyPressed(e->key()); });
  }
  void wheelEvent(QWheelEvent* e) override {
    const int steps = e->angleDelta().y() / 120;
    if (steps != 0) guarded([&] { grid_->wheel(steps); });
  }

 private:
  StringGrid* grid_;
};

StringGrid::StringGrid(Container& parent)
    : Control(&parent, new GridWidget(this)), grid_(static_cast<GridWidget*>(widget_)) {
  cells_.resize(static_cast<std::size_t>(cols_) * rows_);
  updateScrollBars();
}

int StringGrid::clientLeft() const { return kBorder; }
int StringGrid::clientTop() const { return kBorder; }

void StringGrid::boundsChanged() {
  grid_->placeBars();
  resizeSurface();
}

void StringGrid::resizeSurface() {
  const QRect c = grid_->clientRect();
  if (surface_.width() == c.width() && surface_.height() == c.height()) return;
  surface_ = Bitmap(c.width(), c.height());
  updateScrollBars();
  repaint();
}

void StringGrid::setColCount(int count) {
  count = std::max(1, count);
  if (count == cols_) return;
  std::vector<std::string> cells(static_cast<std::size_t>(count) * rows_);
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < std::min(count, cols_); ++c)
      cells[static_cast<std::size_t>(r) * count + c] = std::move(cells_[static_cast<std::size_t>(r) * cols_ + c]);
  cells_ = std::move(cells);
  cols_ = count;
  col_ = std::min(col_, cols_ - 1);
  leftCol_ = std::min(leftCol_, cols_ - 1);
  updateScrollBars();
  repaint();
}

void StringGrid::setRowCount(int count) {
  count = std::max(1, count);
  if (count == rows_) return;
  cells_.resize(static_cast<std::size_t>(cols_) * count);
  rows_ = count;
  row_ = std::min(row_, rows_ - 1);
  topRow_ = std::min(topRow_, rows_ - 1);
  updateScrollBars();
  repaint();
}

void StringGrid::setDefaultColWidth(int width) {
  colWidth_ = std::max(0, width);
  updateScrollBars();
  repaint();
}

void StringGrid::setDefaultRowHeight(int height) {
  rowHeight_ = std::max(0, height);
  updateScrollBars();
  repaint();
}

void StringGrid::setGridLineWidth(int width) {
  lineWidth_ = std::max(0, width);
  updateScrollBars();
  repaint();
}

void StringGrid::setColor(Color color) {
  color_ = color;
  repaint();
}

void StringGrid::setScrollBars(bool horizontal, bool vertical) {
  hScroll_ = horizontal;
  vScroll_ = vertical;
  updateScrollBars();
}

const std::string& StringGrid::cell(int col, int row) const {
  static const std::string none;
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return none;
  return cells_[static_cast<std::size_t>(row) * cols_ + col];
}

void StringGrid::setCell(int col, int row, const std::string& text) {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
  cells_[static_cast<std::size_t>(row) * cols_ + col] = text;
  repaintCell(col, row);
}

void StringGrid::clearCells() {
  for (auto& c : cells_) c.clear();
  repaint();
}

void StringGrid::setCurrent(int col, int row) {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
  selectCell(col, row);
}

void StringGrid::selectCell(int col, int row) {
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(col, row, canSelect);
  if (!canSelect) return;
  col_ = col;
  row_ = row;
  ensureVisible(col, row);
}

int StringGrid::visibleColCount() const {
  const int step = colWidth_ + lineWidth_;
  return step > 0 ? std::max(1, (surface_.width() + lineWidth_) / step) : cols_;
}

int StringGrid::visibleRowCount() const {
  const int step = rowHeight_ + lineWidth_;
  return step > 0 ? std::max(1, (surface_.height() + lineWidth_) / step) : rows_;
}

void StringGrid::ensureVisible(int col, int row) {
  int left = leftCol_, top = topRow_;
  if (col < left) left = col;
  if (col >= left + visibleColCount()) left = col - visibleColCount() + 1;
  if (row < top) top = row;
  if (row >= top + visibleRowCount()) top = row - visibleRowCount() + 1;
  scrollTo(left, top);
}

void StringGrid::scrollTo(int leftCol, int topRow) {
  leftCol = std::clamp(leftCol, 0, std::max(0, cols_ - visibleColCount()));
  topRow = std::clamp(topRow, 0, std::max(0, rows_ - visibleRowCount()));
  if (leftCol == leftCol_ && topRow == topRow_) return;
  leftCol_ = leftCol;
  topRow_ = topRow;
  updateScrollBars();
  repaint();
}

void StringGrid::updateScrollBars() {
  const bool wasH = grid_->hbar->isVisibleTo(grid_), wasV = grid_->vbar->isVisibleTo(grid_);
  grid_->hbar->setVisible(hScroll_);
  grid_->vbar->setVisible(vScroll_);
  if (wasH != hScroll_ || wasV != vScroll_) {
    grid_->placeBars();
    resizeSurface();
  }
  QSignalBlocker bh(grid_->hbar), bv(grid_->vbar);
  grid_->hbar->setRange(0, std::max(0, cols_ - visibleColCount()));
  grid_->hbar->setPageStep(visibleColCount());
  grid_->hbar->setValue(leftCol_);
  grid_->vbar->setRange(0, std::max(0, rows_ - visibleRowCount()));
  grid_->vbar->setPageStep(visibleRowCount());
  grid_->vbar->setValue(topRow_);
}

Rect StringGrid::cellRect(int col, int row) const {
  if (col < leftCol_ || row < topRow_ || col >= cols_ || row >= rows_) return {};
  const int x = (col - leftCol_) * (colWidth_ + lineWidth_);
  const int y = (row - topRow_) * (rowHeight_ + lineWidth_);
  if (x >= surface_.width() || y >= surface_.height()) return {};
  return Rect{x, y, x + colWidth_, y + rowHeight_};
}

bool StringGrid::mouseToCell(int x, int y, int& col, int& row) const {
  const int sx = colWidth_ + lineWidth_, sy = rowHeight_ + lineWidth_;
  if (x < 0 || y < 0 || x >= surface_.width() || y >= surface_.height() || sx <= 0 || sy <= 0) return false;
  const int c = leftCol_ + x / sx, r = topRow_ + y / sy;
  if (c >= cols_ || r >= rows_) return false;
  col = c;
  row = r;
  return true;
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

bool plainAscii(const std::string& text) {
  for (unsigned char ch : text)
    if (ch < 0x20 || ch > 0x7E) return false;
  return true;
}

}  // namespace

void StringGrid::paintTexts(int firstCol, int lastCol, int firstRow, int lastRow) {
  static GlyphCache cache;
  const QRgb ink = (redOf(color_) + greenOf(color_) + blueOf(color_)) < 384 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  const QFont font = widget_->font();
  const Rect whole{0, 0, surface_.width(), surface_.height()};
  for (int r = firstRow; r < lastRow; ++r)
    for (int c = firstCol; c < lastCol; ++c) {
      const std::string& text = cells_[static_cast<std::size_t>(r) * cols_ + c];
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
          blend(surface_, g.image, x, rect.top + 2, rect);
          x += g.advance;
        }
        continue;
      }
      QImage img = toQImage(surface_);
      QPainter p(&img);
      p.setFont(font);
      p.setPen(QColor::fromRgb(ink));
      p.setClipRect(rect.left, rect.top, rect.width(), rect.height());
      p.drawText(QRect(rect.left + 2, rect.top + 2, rect.width() - 2, rect.height() - 2),
                 Qt::AlignLeft | Qt::AlignTop, qs(text));
    }
}

void StringGrid::paintCellBase(int col, int row) {
  const Rect r = cellRect(col, row);
  if (r.empty()) return;
  surface_.fillRect(r, color_);
  paintTexts(col, col + 1, row, row + 1);
}

void StringGrid::repaint() {
  if (surface_.empty() || painting_) return;
  painting_ = true;
  surface_.fillRect(Rect{0, 0, surface_.width(), surface_.height()}, color_);
  const int lastCol = std::min(cols_, leftCol_ + visibleColCount() + 1);
  const int lastRow = std::min(rows_, topRow_ + visibleRowCount() + 1);
  if (lineWidth_ > 0) {
    // Lines run only where there are cells; past the last column and row lies plain background.
    const int right = std::min(surface_.width(), (cols_ - leftCol_) * (colWidth_ + lineWidth_));
    const int bottom = std::min(surface_.height(), (rows_ - topRow_) * (rowHeight_ + lineWidth_));
    for (int c = leftCol_; c < lastCol; ++c) {
      const int x = (c - leftCol_) * (colWidth_ + lineWidth_) + colWidth_;
      surface_.fillRect(Rect{x, 0, x + lineWidth_, bottom}, kLineColor);
    }
    for (int r = topRow_; r < lastRow; ++r) {
      const int y = (r - topRow_) * (rowHeight_ + lineWidth_) + rowHeight_;
      surface_.fillRect(Rect{0, y, right, y + lineWidth_}, kLineColor);
    }
  }
  paintTexts(leftCol_, lastCol, topRow_, lastRow);
  if (OnDrawCell)
    for (int r = topRow_; r < lastRow; ++r)
      for (int c = leftCol_; c < lastCol; ++c) {
        const Rect rect = cellRect(c, r);
        if (!rect.empty()) guarded([&] { OnDrawCell(c, r, rect); });
      }
  painting_ = false;
  flush();
}

void StringGrid::repaintCell(int col, int row) {
  if (surface_.empty() || painting_) return;
  const Rect rect = cellRect(col, row);
  if (rect.empty()) return;
  paintCellBase(col, row);
  if (OnDrawCell) guarded([&] { OnDrawCell(col, row, rect); });
  flush();
}

void StringGrid::flush() { widget_->update(); }

void StringGrid::drawFocusRect(const Rect& r) {
  // Dotted outline inverting what lies under it, as a focus rectangle does.
  auto invert = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= surface_.width() || y >= surface_.height()) return;
    std::uint32_t& w = surface_.wordRow(y)[x];
    w = 0xFF000000u | (~w & 0x00FFFFFFu);
  };
  for (int x = r.left; x < r.right; x += 2) {
    invert(x, r.top);
    invert(x, r.bottom - 1);
  }
  for (int y = r.top + 2; y < r.bottom - 1; y += 2) {
    invert(r.left, y);
    invert(r.right - 1, y);
  }
  flush();
}

void StringGrid::mousePressed(MouseButton b, ShiftState s, int x, int y) {
  if (b == MouseButton::Left) {
    leftDown_ = true;
    int c, r;
    if (mouseToCell(x, y, c, r)) selectCell(c, r);
  }
  if (OnMouseDown) OnMouseDown(b, s, x, y);
}

void StringGrid::mouseMoved(ShiftState s, int x, int y) {
  if (leftDown_ && s.left) {
    int c, r;
    if (mouseToCell(x, y, c, r) && (c != col_ || r != row_)) selectCell(c, r);
  }
  if (OnMouseMove) OnMouseMove(s, x, y);
}

void StringGrid::mouseReleased(MouseButton b, ShiftState s, int x, int y) {
  if (b == MouseButton::Left) leftDown_ = false;
  if (OnMouseUp) OnMouseUp(b, s, x, y);
}

void StringGrid::keyPressed(int key) {
  int c = col_, r = row_;
  switch (key) {
    case Qt::Key_Left: --c; break;
    case Qt::Key_Right: ++c; break;
    case Qt::Key_Up: --r; break;
    case Qt::Key_Down: ++r; break;
    case Qt::Key_Home: c = 0; break;
    case Qt::Key_End: c = cols_ - 1; break;
    case Qt::Key_PageUp: r -= visibleRowCount(); break;
    case Qt::Key_PageDown: r += visibleRowCount(); break;
    default: return;
  }
  c = std::clamp(c, 0, cols_ - 1);
  r = std::clamp(r, 0, rows_ - 1);
  if (c != col_ || r != row_) selectCell(c, r);
}

void StringGrid::wheel(int steps) {
  // The wheel moves the current cell: down the rows, or along a single row.
  if (rows_ > 1) {
    const int r = std::clamp(row_ - steps, 0, rows_ - 1);
    if (r != row_) selectCell(col_, r);
  } else {
    const int c = std::clamp(col_ - steps, 0, cols_ - 1);
    if (c != col_) selectCell(c, row_);
  }
}

}  // namespace platform
