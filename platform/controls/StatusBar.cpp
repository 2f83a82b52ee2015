#include "platform/controls/StatusBar.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/controls/QtSupport.h"

namespace platform {

namespace {
// A panel's sunken box leaves out the gap to the next panel; its text is inset from the box's edges.
constexpr int kPanelGap = 2;
constexpr int kTextLeft = 2, kTextRight = 1;
}  // namespace

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
      const QRect box(bar_->panelLeft(i), 2, bar_->shownWidth(i) - kPanelGap, height() - 3);
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
      p.drawText(box.adjusted(kTextLeft, 0, -kTextRight, 0), Qt::AlignLeft | Qt::AlignVCenter,
                 qs(panel.text));
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

int StatusBar::panelLeft(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += shownWidth(i);
  return left;
}

int StatusBar::shownWidth(int index) const {
  return panels_.at(index).width;
}

int StatusBar::textRoom(int index) const {
  // The bar's own right edge cuts a panel that reaches past it.
  const int shown = std::min(shownWidth(index), std::max(0, width() - panelLeft(index)));
  return shown - kPanelGap - kTextLeft - kTextRight;
}

void StatusBar::setPanelText(int index, const std::string& text) {
  panels_.at(index).text = text;
  widget_->update();
}

}  // namespace platform
