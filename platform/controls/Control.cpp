#include "platform/controls/Control.h"

#include <QFont>
#include <QFontDatabase>
#include <QVariant>
#include <QWidget>
#include <algorithm>

#include "platform/qtbase/QtSupport.h"

namespace platform {

QFont qtFont(const Font& font) {
  // The layouts were measured with the Windows sans-serif faces; Liberation Sans has their metrics.
  static const bool metricFace = QFontDatabase::hasFamily("Liberation Sans");
  QFont f;
  if (metricFace) {
    f.setFamily("Liberation Sans");
    f.setStyleHint(QFont::SansSerif);
  } else {
    f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setStyleHint(QFont::SansSerif);
  }
  f.setPixelSize(font.pixelSize);
  f.setBold(font.bold);
  f.setUnderline(font.underline);
  return f;
}

Control::Control(Container* parent, QWidget* widget) : widget_(widget), parent_(parent) {
  if (parent_) {
    widget_->setParent(parent_->clientWidget());
    parent_->children_.push_back(this);
    parent_->tabOrder_.push_back(this);
    widget_->show();
  }
}

Control::~Control() {
  if (parent_) {
    for (auto* list : {&parent_->children_, &parent_->tabOrder_})
      list->erase(std::remove(list->begin(), list->end(), this), list->end());
  }
  delete widget_;
}

void Control::setBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  widget_->setGeometry(left_, top_, width_, height_);
  boundsChanged();
  if (parent_ && align_ != Align::None) parent_->realign();
}

void Control::setVisible(bool visible) {
  visible_ = visible;
  widget_->setVisible(visible);
}

void Control::setEnabled(bool enabled) {
  enabled_ = enabled;
  widget_->setEnabled(enabled);
}

void Control::setHint(const std::string& hint) {
  hint_ = hint;
  widget_->setToolTip(QString::fromStdString(hint));
}

void Control::setCursor(Cursor cursor) {
  cursor_ = cursor;
  if (cursor == Cursor::HandPoint) {
    widget_->setCursor(Qt::PointingHandCursor);
  } else {
    widget_->unsetCursor();
  }
}

void Control::setFont(const Font& font) {
  widget_->setFont(qtFont(font));
  fontChanged();
}

void Control::setFontUnderline(bool underline) {
  QFont f = widget_->font();
  f.setUnderline(underline);
  widget_->setFont(f);
  fontChanged();
}

void Control::setAlign(Align align) {
  align_ = align;
  if (parent_) parent_->realign();
}

namespace {
const char kPaintsOnParent[] = "paintsOnParent";
}

void Control::paintOnParent() {
  widget_->setProperty(kPaintsOnParent, true);
  QWidget* parent = widget_->parentWidget();
  if (!parent) return;
  // Qt keeps the children in stacking order, lowest first; go just beneath the lowest windowed one.
  for (QObject* o : parent->children()) {
    auto* sibling = qobject_cast<QWidget*>(o);
    if (sibling && sibling != widget_ && !sibling->isWindow() && !sibling->property(kPaintsOnParent).toBool()) {
      widget_->stackUnder(sibling);
      return;
    }
  }
}

void Control::setTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->tabOrder_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin() + std::clamp<std::ptrdiff_t>(order, 0, static_cast<std::ptrdiff_t>(list.size())),
              this);
  QWidget* previous = nullptr;
  for (Control* c : list) {
    if (!(c->widget_->focusPolicy() & Qt::TabFocus)) continue;
    if (previous) QWidget::setTabOrder(previous, c->widget_);
    previous = c->widget_;
  }
}

void Control::repaint() { widget_->update(); }

int Container::clientWidth() const { return clientWidget()->width(); }
int Container::clientHeight() const { return clientWidget()->height(); }

void Container::realign() {
  int top = 0;
  int bottom = clientHeight();
  const int width = clientWidth();
  for (Control* c : children_) {
    if (c->align_ == Align::Top) {
      c->left_ = 0;
      c->top_ = top;
      c->width_ = width;
      top += c->height_;
    } else if (c->align_ == Align::Bottom) {
      bottom -= c->height_;
      c->left_ = 0;
      c->top_ = bottom;
      c->width_ = width;
    } else {
      continue;
    }
    c->widget_->setGeometry(c->left_, c->top_, c->width_, c->height_);
    c->boundsChanged();
  }
}

}  // namespace platform
