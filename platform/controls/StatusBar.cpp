#include "platform/controls/StatusBar.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/qtbase/QtSupport.h"

namespace platform {

// Paints the panels itself: sunken boxes of fixed widths, each with its text.
class StatusWidget : public QWidget {
 public:
  explicit StatusWidget(const StatusBar* bar) : bar_(bar) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    for (int i = 0; i < bar_->panelCount(); ++i) {
      const StatusBar::Panel& panel = bar_->panel(i);
      const QRect box(bar_->panelLeft(i), 2, bar_->panelWidth(i) - 2, height() - 3);
      if (panel.bevel) {
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(box.topLeft(), box.topRight());
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(box.bottomLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomRight());
      }
      p.setPen(palette().color(QPalette::WindowText));
      p.setClipRect(box.adjusted(1, 1, -1, -1));
      p.drawText(box.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter, qs(panel.text));
      p.setClipping(false);
    }
  }

 private:
  const StatusBar* bar_;
};

StatusBar::StatusBar(Container& parent, int height) : Control(&parent, new StatusWidget(this)) {
  setBounds(0, 0, 0, height);
  setAlign(Align::Bottom);
}

void StatusBar::addPanel(int width, bool bevel) {
  panels_.push_back(Panel{width, bevel, {}});
  widget_->update();
}

namespace {
// The box's bevel and the text's margins inside a panel.
constexpr int kTextMargins = 5;
}  // namespace

int StatusBar::panelWidth(int index) const {
  const Panel& panel = panels_.at(index);
  const double text = QFontMetricsF(widget_->font()).horizontalAdvance(qs(panel.text));
  return std::max(panel.width, static_cast<int>(std::ceil(text)) + kTextMargins);
}

int StatusBar::panelLeft(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += panelWidth(i);
  return left;
}

int StatusBar::textRoom(int index) const {
  // The bar's own right edge cuts a panel that reaches past it.
  const int shown = std::min(panelWidth(index), std::max(0, width() - panelLeft(index)));
  return shown - kTextMargins;
}

void StatusBar::setPanelText(int index, const std::string& text) {
  panels_.at(index).text = text;
  widget_->update();
}

}  // namespace platform
