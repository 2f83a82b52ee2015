#include "platform/controls/Grid.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "platform/controls/Application.h"
#include "platform/qtbase/QtSupport.h"

namespace platform {

namespace {
constexpr int kScrollBarSize = 16;
constexpr int kWheelNotch = 120;
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

std::uint32_t inverted(std::uint32_t word) { return 0xFF000000u | (~word & 0x00FFFFFFu); }

bool buttonOf(Qt::MouseButton qb, MouseButton& b) {
  if (qb == Qt::LeftButton)
    b = MouseButton::Left;
  else if (qb == Qt::RightButton)
    b = MouseButton::Right;
  else if (qb == Qt::MiddleButton)
    b = MouseButton::Middle;
  else
    return false;
  return true;
}
}  // namespace

class GridWidget : public QWidget {
 public:
  explicit GridWidget(CustomGrid* grid) : grid_(grid) {
    hbar = new QScrollBar(Qt::Horizontal, this);
    vbar = new QScrollBar(Qt::Vertical, this);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(hbar, &QScrollBar::valueChanged, [this](int v) { grid_->scrollTo(v, grid_->topRow_); });
    connect(vbar, &QScrollBar::valueChanged, [this](int v) { grid_->scrollTo(grid_->leftCol_, v); });
  }

  // Every widget that holds the grid, up to its window: what they cut off needs no surface.
  void watchAncestors() {
    for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
      p->installEventFilter(this);
      if (p->isWindow()) break;
    }
  }

  // The client area of the given size, cut to what the parents leave visible.
  QRect visibleClient(int clientW, int clientH) const {
    const int b = grid_->border_;
    QRect vis(b, b, clientW, clientH);
    for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
      vis &= QRect(mapFrom(p, QPoint(0, 0)), p->size());
      if (p->isWindow()) break;
    }
    return vis;
  }

  // The area inside the border and the scroll bars.
  QRect clientRect() const {
    const int b = grid_->border_;
    const int w = width() - 2 * b - (vbar->isVisibleTo(this) ? kScrollBarSize : 0);
    const int h = height() - 2 * b - (hbar->isVisibleTo(this) ? kScrollBarSize : 0);
    return QRect(b, b, std::max(0, w), std::max(0, h));
  }

  void placeBars() {
    const QRect c = clientRect();
    const int b = grid_->border_;
    hbar->setGeometry(b, b + c.height(), c.width(), kScrollBarSize);
    vbar->setGeometry(b + c.width(), b, kScrollBarSize, c.height());
  }

  QScrollBar* hbar;
  QScrollBar* vbar;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect c = clientRect();
    const Bitmap& surface = grid_->surface_;
    // The surface covers its part of the client area whole; the background shows only around it.
    const QRect covered =
        surface.empty() ? QRect() : QRect(c.topLeft(), QSize(surface.width(), surface.height()));
    for (const QRect& r : QRegion(rect()) - covered) p.fillRect(r, palette().color(QPalette::Window));
    if (grid_->border_ == 1) {
      p.setPen(palette().color(QPalette::Shadow));
      p.drawRect(0, 0, width() - 1, height() - 1);
    } else {
      p.setPen(palette().color(QPalette::Dark));
      p.drawRect(0, 0, width() - 1, height() - 1);
      p.setPen(palette().color(QPalette::Shadow));
      p.drawRect(1, 1, width() - 3, height() - 3);
    }
    if (surface.empty()) return;
    p.drawImage(c.topLeft(), toQImage(surface));
    if (!hasFocus()) return;
    // The focus rectangle inverts what the canvas shows beneath it.
    const Rect r = grid_->cellRect(grid_->col_, grid_->row_);
    focusDots(r.left, r.top, r.right, r.bottom, [&](int x, int y) {
      if (x < 0 || y < 0 || x >= surface.width() || y >= surface.height()) return;
      p.setPen(QColor::fromRgb(inverted(surface.wordRow(y)[x])));
      p.drawPoint(c.left() + x, c.top() + y);
    });
  }
  void resizeEvent(QResizeEvent*) override { grid_->resizeSurface(); }
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
    const int delta = e->angleDelta().y();
    if (delta != 0) guarded([&] { grid_->wheel(delta); });
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Resize || e->type() == QEvent::Move) grid_->resizeSurface();
    return false;
  }

 private:
  CustomGrid* grid_;
};

CustomGrid::CustomGrid(Container& parent)
    : Control(&parent, new GridWidget(this)), grid_(static_cast<GridWidget*>(widget_)) {
  grid_->watchAncestors();
  updateView();
}

void CustomGrid::paintContents(int, int, int, int) {}
void CustomGrid::countsChanged(int, int) {}

void CustomGrid::setFlat(bool flat) {
  border_ = flat ? 1 : 2;
  resizeSurface();
  widget_->update();
}

void CustomGrid::boundsChanged() { resizeSurface(); }

void CustomGrid::resizeSurface() {
  if (updateView()) repaint();
}

bool CustomGrid::updateView() {
  // A bar takes room from the other axis, which may then need its bar too: settle both in a few passes.
  const int b = border_;
  const int outerW = std::max(0, widget_->width() - 2 * b), outerH = std::max(0, widget_->height() - 2 * b);
  const auto fits = [](int extent, int size, int line, int count) {
    const int pitch = size + line;
    return pitch <= 0 || count <= (extent + line) / pitch;
  };
  bool showH = false, showV = false;
  for (int pass = 0; pass < 3; ++pass) {
    showH = hScroll_ && !fits(outerW - (showV ? kScrollBarSize : 0), colWidth_, lineWidth_, cols_);
    showV = vScroll_ && !fits(outerH - (showH ? kScrollBarSize : 0), rowHeight_, lineWidth_, rows_);
  }
  grid_->hbar->setVisible(showH);
  grid_->vbar->setVisible(showV);
  grid_->placeBars();
  viewW_ = std::max(0, outerW - (showV ? kScrollBarSize : 0));
  viewH_ = std::max(0, outerH - (showH ? kScrollBarSize : 0));

  // Fewer or larger cells, or a larger view, may leave the first shown cell past where it can be:
  // cells before it would stay hidden with no way to scroll back to them.
  leftCol_ = std::clamp(leftCol_, 0, std::max(0, cols_ - visibleColCount()));
  topRow_ = std::clamp(topRow_, 0, std::max(0, rows_ - visibleRowCount()));
  QSignalBlocker bh(grid_->hbar), bv(grid_->vbar);
  grid_->hbar->setRange(0, std::max(0, cols_ - visibleColCount()));
  grid_->hbar->setPageStep(visibleColCount());
  grid_->hbar->setValue(leftCol_);
  grid_->vbar->setRange(0, std::max(0, rows_ - visibleRowCount()));
  grid_->vbar->setPageStep(visibleRowCount());
  grid_->vbar->setValue(topRow_);

  // The surface runs from the client origin to where the parents cut the grid off.
  const QRect vis = grid_->visibleClient(viewW_, viewH_);
  const int w = vis.isEmpty() ? 0 : std::clamp(vis.right() + 1 - b, 0, viewW_);
  const int h = vis.isEmpty() ? 0 : std::clamp(vis.bottom() + 1 - b, 0, viewH_);
  if (surface_.width() == w && surface_.height() == h) return false;
  surface_.renew(w, h);
  return true;
}

bool CustomGrid::horizontalScrollBarShown() const { return grid_->hbar->isVisibleTo(grid_); }
bool CustomGrid::verticalScrollBarShown() const { return grid_->vbar->isVisibleTo(grid_); }

void CustomGrid::setColCount(int count) { setCounts(count, rows_); }

void CustomGrid::setRowCount(int count) { setCounts(cols_, count); }

void CustomGrid::setCounts(int cols, int rows) {
  cols = std::max(1, cols);
  rows = std::max(1, rows);
  if (cols == cols_ && rows == rows_) return;
  const int oldCols = cols_, oldRows = rows_;
  cols_ = cols;
  rows_ = rows;
  countsChanged(oldCols, oldRows);
  col_ = std::min(col_, cols_ - 1);
  row_ = std::min(row_, rows_ - 1);
  updateView();
  repaint();
}

void CustomGrid::setDefaultColWidth(int width) {
  colWidth_ = std::max(0, width);
  updateView();
  repaint();
}

void CustomGrid::setDefaultRowHeight(int height) {
  rowHeight_ = std::max(0, height);
  updateView();
  repaint();
}

void CustomGrid::setGridLineWidth(int width) {
  lineWidth_ = std::max(0, width);
  updateView();
  repaint();
}

void CustomGrid::setColor(Color color) {
  color_ = color;
  repaint();
}

void CustomGrid::setScrollBars(bool horizontal, bool vertical) {
  hScroll_ = horizontal;
  vScroll_ = vertical;
  resizeSurface();
}

void CustomGrid::setCurrent(int col, int row) {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
  selectCell(col, row);
}

bool CustomGrid::selectCell(int col, int row, bool scroll) {
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(col, row, canSelect);
  if (!canSelect) return false;
  if (col != col_ || row != row_) flush();  // the focus rectangle moves with the current cell
  col_ = col;
  row_ = row;
  if (scroll) ensureVisible(col, row);
  return true;
}

int CustomGrid::visibleColCount() const {
  const int step = colWidth_ + lineWidth_;
  return step > 0 ? std::max(1, (viewW_ + lineWidth_) / step) : cols_;
}

int CustomGrid::visibleRowCount() const {
  const int step = rowHeight_ + lineWidth_;
  return step > 0 ? std::max(1, (viewH_ + lineWidth_) / step) : rows_;
}

void CustomGrid::ensureVisible(int col, int row) {
  int left = leftCol_, top = topRow_;
  if (col < left) left = col;
  if (col >= left + visibleColCount()) left = col - visibleColCount() + 1;
  if (row < top) top = row;
  if (row >= top + visibleRowCount()) top = row - visibleRowCount() + 1;
  scrollTo(left, top);
}

void CustomGrid::scrollTo(int leftCol, int topRow) {
  leftCol = std::clamp(leftCol, 0, std::max(0, cols_ - visibleColCount()));
  topRow = std::clamp(topRow, 0, std::max(0, rows_ - visibleRowCount()));
  if (leftCol == leftCol_ && topRow == topRow_) return;
  leftCol_ = leftCol;
  topRow_ = topRow;
  updateView();
  repaint();
}

Rect CustomGrid::cellRect(int col, int row) const {
  if (col < leftCol_ || row < topRow_ || col >= cols_ || row >= rows_) return {};
  const int x = (col - leftCol_) * (colWidth_ + lineWidth_);
  const int y = (row - topRow_) * (rowHeight_ + lineWidth_);
  if (x >= surface_.width() || y >= surface_.height()) return {};
  return Rect{x, y, x + colWidth_, y + rowHeight_};
}

GridCoord CustomGrid::mouseCoord(int x, int y) const {
  GridCoord g;
  if (!mouseToCell(x, y, g.col, g.row)) return GridCoord{};
  return g;
}

bool CustomGrid::mouseToCell(int x, int y, int& col, int& row) const {
  const int sx = colWidth_ + lineWidth_, sy = rowHeight_ + lineWidth_;
  if (x < 0 || y < 0 || x >= viewW_ || y >= viewH_ || sx <= 0 || sy <= 0) return false;
  const int c = leftCol_ + x / sx, r = topRow_ + y / sy;
  if (c >= cols_ || r >= rows_) return false;
  col = c;
  row = r;
  return true;
}

void CustomGrid::paintCellBase(int col, int row) {
  const Rect r = cellRect(col, row);
  if (r.empty()) return;
  surface_.fillRect(r, color_);
  paintContents(col, col + 1, row, row + 1);
}

void CustomGrid::repaint() {
  if (surface_.empty() || painting_) return;
  painting_ = true;
  surface_.fillRect(Rect{0, 0, surface_.width(), surface_.height()}, color_);
  // Only cells that touch the surface are painted, however many the view holds.
  const int pitchX = std::max(1, colWidth_ + lineWidth_), pitchY = std::max(1, rowHeight_ + lineWidth_);
  const int lastCol = std::min(cols_, leftCol_ + surface_.width() / pitchX + 1);
  const int lastRow = std::min(rows_, topRow_ + surface_.height() / pitchY + 1);
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
  paintContents(leftCol_, lastCol, topRow_, lastRow);
  if (OnDrawCell)
    for (int r = topRow_; r < lastRow; ++r)
      for (int c = leftCol_; c < lastCol; ++c) {
        const Rect rect = cellRect(c, r);
        if (!rect.empty()) guarded([&] { OnDrawCell(c, r, rect); });
      }
  painting_ = false;
  flush();
}

void CustomGrid::repaintCell(int col, int row) {
  if (surface_.empty() || painting_) return;
  const Rect rect = cellRect(col, row);
  if (rect.empty()) return;
  paintCellBase(col, row);
  if (OnDrawCell) guarded([&] { OnDrawCell(col, row, rect); });
  flush();
}

void CustomGrid::fillCell(int col, int row, Color color) {
  const Rect r = cellRect(col, row);
  if (r.empty()) return;
  surface_.fillRect(r, color);
  flush();
}

void CustomGrid::textOut(int x, int y, const std::string& text, Color color) {
  if (surface_.empty() || text.empty()) return;
  QImage img = toQImage(surface_);
  QPainter p(&img);
  QFont font = widget_->font();
  // Small letters stay in the one colour asked for, as on a screen without smoothing.
  font.setStyleStrategy(QFont::NoAntialias);
  p.setFont(font);
  p.setPen(QColor(redOf(color), greenOf(color), blueOf(color)));
  p.drawText(x, y + QFontMetrics(font).ascent(), qs(text));
  p.end();
  flush();
}

void CustomGrid::flush() { widget_->update(); }

void CustomGrid::drawFocusRect(const Rect& r) {
  const Rect current = cellRect(col_, row_);
  if (r.left == current.left && r.top == current.top && r.right == current.right && r.bottom == current.bottom)
    return;
  focusDots(r.left, r.top, r.right, r.bottom, [&](int x, int y) {
    if (x < 0 || y < 0 || x >= surface_.width() || y >= surface_.height()) return;
    std::uint32_t& w = surface_.wordRow(y)[x];
    w = inverted(w);
  });
  flush();
}

// The handlers get the point where the user saw the cells; only after them may the cell scroll into view.
void CustomGrid::mousePressed(MouseButton b, ShiftState s, int x, int y) {
  bool selected = false;
  if (b == MouseButton::Left) {
    leftDown_ = true;
    int c, r;
    if (mouseToCell(x, y, c, r)) selected = selectCell(c, r, false);
  }
  if (OnMouseDown) OnMouseDown(b, s, x, y);
  if (selected && mouseScrolls_) ensureVisible(col_, row_);
}

void CustomGrid::mouseMoved(ShiftState s, int x, int y) {
  bool selected = false;
  if (leftDown_ && s.left) {
    int c, r;
    if (mouseToCell(x, y, c, r) && (c != col_ || r != row_)) selected = selectCell(c, r, false);
  }
  if (OnMouseMove) OnMouseMove(s, x, y);
  if (selected && mouseScrolls_) ensureVisible(col_, row_);
}

void CustomGrid::mouseReleased(MouseButton b, ShiftState s, int x, int y) {
  if (b == MouseButton::Left) leftDown_ = false;
  if (OnMouseUp) OnMouseUp(b, s, x, y);
}

void CustomGrid::keyPressed(int key) {
  int c = col_, r = row_;
  switch (key) {
    case Qt::Key_Left:
      --c;
      break;
    case Qt::Key_Right:
      ++c;
      break;
    case Qt::Key_Up:
      --r;
      break;
    case Qt::Key_Down:
      ++r;
      break;
    case Qt::Key_Home:
      c = 0;
      break;
    case Qt::Key_End:
      c = cols_ - 1;
      break;
    case Qt::Key_PageUp:
      r -= visibleRowCount();
      break;
    case Qt::Key_PageDown:
      r += visibleRowCount();
      break;
    default:
      return;
  }
  c = std::clamp(c, 0, cols_ - 1);
  r = std::clamp(r, 0, rows_ - 1);
  if (c != col_ || r != row_) selectCell(c, r);
}

void CustomGrid::wheel(int angleDelta) {
  // Smooth-scrolling wheels send parts of a notch: they add up to whole ones, and turning back starts over.
  if ((wheelDelta_ > 0 && angleDelta < 0) || (wheelDelta_ < 0 && angleDelta > 0)) wheelDelta_ = 0;
  wheelDelta_ += angleDelta;
  const int steps = wheelDelta_ / kWheelNotch;
  wheelDelta_ -= steps * kWheelNotch;
  // The wheel moves the current row only: in a grid of one row it selects nothing.
  const int r = std::clamp(row_ - steps, 0, rows_ - 1);
  if (r != row_) selectCell(col_, r);
}

}  // namespace platform
