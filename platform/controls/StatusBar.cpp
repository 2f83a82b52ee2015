#include "platform/controls/StatusBar.h"

#include <QPainter>
#include <QWidget>

#include "platform/controls/QtSupport.h"

namespace platform {

// Paints the panels itself: sunken boxes of fixed widths, each with its text.
class StatusWidget : public QWidget {
 public:
  explicit StatusWidget(const StatusBar* bar) : bar_(bar) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    int left = 0;
    for (int i = 0; i < bar_->panelCount(); ++i) {
      const StatusBar::Panel& panel = bar_->panel(i);
      const QRect box(left, 2, panel.width - 2, height() - 3);
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
      left += panel.width;
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

void StatusBar::setPanelText(int index, const std::string& text) {
  panels_.at(index).text = text;
  widget_->update();
}

}  // namespace platform
