#include "tests/support/ScreenCheck.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <cmath>
#include <optional>
#include <sstream>

#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/ToolBar.h"
#include "platform/controls/Widgets.h"
#include "platform/qtbase/QtSupport.h"

namespace platform {

namespace {

// Below this a difference in width is rounding, not a pixel lost.
constexpr double kSlack = 0.01;

// Texts are measured with fractional advances: a text a fraction of a pixel too wide loses its last
// column of pixels on screen.
double advance(const QWidget* w, const QString& text) {
  return QFontMetricsF(w->font()).horizontalAdvance(text);
}

std::string px(double v) {
  std::ostringstream s;
  s << std::round(v * 10) / 10;
  return s.str();
}

QString withoutAccessKeys(QString text) {
  text.replace("&&", QChar(0x1));
  text.remove('&');
  text.replace(QChar(0x1), "&");
  return text;
}

bool isLabel(const Control* c) { return dynamic_cast<const Label*>(c) != nullptr; }
bool isPainted(const Control* c) { return isLabel(c) || dynamic_cast<const Image*>(c) != nullptr; }

std::string describe(const Control* c) {
  std::string what = "control";
  std::string text;
  if (auto* l = dynamic_cast<const Label*>(c)) {
    what = "label";
    text = l->caption();
  } else if (auto* b = dynamic_cast<const QPushButton*>(c->widget())) {
    what = "button";
    text = ss(b->text());
  } else if (auto* e = dynamic_cast<const Edit*>(c)) {
    what = "edit box";
    text = e->text();
  } else if (dynamic_cast<const Image*>(c)) {
    what = "image";
  } else if (dynamic_cast<const ScrollBar*>(c)) {
    what = "scroll bar";
  } else if (dynamic_cast<const SpeedButton*>(c) || dynamic_cast<const ToolButton*>(c)) {
    what = "picture button";
  } else if (dynamic_cast<const StatusBar*>(c)) {
    what = "status bar";
  } else if (dynamic_cast<const CustomGrid*>(c)) {
    what = "grid";
  } else if (dynamic_cast<const Container*>(c)) {
    what = "panel";
  }
  std::ostringstream s;
  s << what;
  if (!text.empty()) s << " \"" << text << "\"";
  s << " at " << c->left() << "," << c->top();
  return s.str();
}

// Where a control's text lies in its parent's client area, before the control clips it.
struct Text {
  QString text;
  double width = 0;  // its advance
  double room = 0;   // what the control gives it
  QRectF rect;       // its ink
};

// The pixels a text inks once placed in its box: overlaps are judged on these, not on the line's full
// height, so a heading may sit as close under a tool bar as its layout puts it.
QRectF inked(const QWidget* w, const QString& text, const QRectF& box, Qt::Alignment align) {
  const QFontMetricsF fm(w->font());
  const double width = fm.horizontalAdvance(text);
  double x = box.left();
  if (align & Qt::AlignHCenter) x = box.center().x() - width / 2;
  if (align & Qt::AlignRight) x = box.right() - width;
  double y = box.top();
  if (align & Qt::AlignVCenter) y = box.center().y() - fm.height() / 2;
  if (align & Qt::AlignBottom) y = box.bottom() - fm.height();
  return fm.tightBoundingRect(text).translated(x, y + fm.ascent());
}

std::optional<Text> textOf(const Control* c) {
  QWidget* w = c->widget();
  Text t;
  QRectF box;
  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
  if (auto* l = dynamic_cast<QLabel*>(w)) {
    t.text = l->text();
    box = l->contentsRect();
    align = l->alignment();
  } else if (auto* b = dynamic_cast<QPushButton*>(w)) {
    t.text = withoutAccessKeys(b->text());
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    if (b->isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
    if (b->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
    box = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
    align = Qt::AlignCenter;
  } else if (auto* e = dynamic_cast<QLineEdit*>(w)) {
    t.text = e->displayText();
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.state |= QStyle::State_Sunken;
    const QMargins m = e->textMargins();
    // A line edit keeps a further 2 pixels free on either side of its text.
    box = QRectF(e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e))
              .adjusted(m.left() + 2, m.top(), -m.right() - 2, -m.bottom());
    align = e->alignment();
  } else {
    return std::nullopt;
  }
  if (t.text.isEmpty()) return std::nullopt;
  t.width = advance(w, t.text);
  t.room = box.width();
  t.rect = inked(w, t.text, box, align).translated(w->pos());
  return t;
}

class Walk {
 public:
  explicit Walk(Form& form) : form_(form), window_(form.window()) {}

  void visit(const Container& parent) {
    for (const Control* c : parent.children()) {
      if (!c->widget()->isVisibleTo(window_)) continue;
      checkText(parent, c);
      checkButton(c);
      if (auto* bar = dynamic_cast<const StatusBar*>(c)) checkPanels(bar);
      if (auto* inner = dynamic_cast<const Container*>(c)) visit(*inner);
    }
  }

  const Control* owner(const QWidget* w, const Container& in) const {
    for (const Control* c : in.children()) {
      if (c->widget() == w || c->widget()->isAncestorOf(w)) {
        if (auto* inner = dynamic_cast<const Container*>(c))
          if (const Control* deeper = owner(w, *inner)) return deeper;
        return c;
      }
    }
    return nullptr;
  }

  std::vector<std::string> faults;

 private:
  void fault(const std::string& text) { faults.push_back(text); }

  void checkText(const Container& parent, const Control* c) {
    const std::optional<Text> t = textOf(c);
    if (!t) return;
    const std::string what = describe(c);
    if (t->width > t->room + kSlack)
      fault(what + ": text " + px(t->width) + " px wide in " + px(t->room) + " px");
    if (auto* label = dynamic_cast<const Label*>(c);
        label && label->autoSize() && label->roomWidth() > 0 && t->width > label->roomWidth() + kSlack)
      fault(what + ": text " + px(t->width) + " px wide, past its laid-out " +
            std::to_string(label->roomWidth()) + " px");

    // What shows of the text: the control clips it to itself.
    const QRectF shown = t->rect.intersected(QRectF(c->widget()->geometry()));
    const QRectF client(0, 0, parent.clientWidget()->width(), parent.clientWidget()->height());
    if (!client.contains(shown)) fault(what + ": text runs past the edge of its container");

    const QObjectList& stack = c->widget()->parentWidget()->children();
    const auto above = [&](const Control* other) {
      return stack.indexOf(other->widget()) > stack.indexOf(c->widget());
    };
    for (const Control* other : parent.children()) {
      if (other == c || !other->widget()->isVisibleTo(window_)) continue;
      QRectF area(other->widget()->geometry());
      if (isLabel(other)) {
        const std::optional<Text> ot = textOf(other);
        if (!ot) continue;
        area = ot->rect.intersected(area);
      }
      // Labels paint on their parent beneath every windowed control.
      const bool covers = above(other) || (isLabel(c) && !isPainted(other));
      if (covers && area.intersects(shown)) fault(what + ": text lies under " + describe(other));
    }
  }

  void checkButton(const Control* c) {
    const bool button =
        dynamic_cast<const Button*>(c) || dynamic_cast<const SpeedButton*>(c) ||
        (dynamic_cast<const ToolButton*>(c) && !static_cast<const ToolButton*>(c)->isSeparator());
    if (!button) return;
    QWidget* w = c->widget();
    const QPoint centre = w->mapTo(window_, QPoint(w->width() / 2, w->height() / 2));
    QWidget* hit = window_->childAt(centre);
    if (hit == w || (hit && w->isAncestorOf(hit))) return;
    std::string under = "nothing";
    if (hit) {
      const Control* o = owner(hit, form_);
      under = o ? describe(o) : "another widget";
    }
    fault(describe(c) + ": a click on its centre reaches " + under);
  }

  void checkPanels(const StatusBar* bar) {
    for (int i = 0; i < bar->panelCount(); ++i) {
      const QString text = qs(bar->panelText(i));
      if (text.isEmpty()) continue;
      const double width = advance(bar->widget(), text);
      if (width > bar->textRoom(i) + kSlack)
        fault("status panel " + std::to_string(i) + " \"" + bar->panelText(i) + "\": text " + px(width) +
              " px wide in " + std::to_string(bar->textRoom(i)) + " px");
    }
  }

  const Form& form_;
  QWidget* window_;
};

}  // namespace

ScreenReport checkScreen(Form& form) {
  QWidget* window = form.window();
  const bool wasShowing = form.showing();
  if (!wasShowing) form.show();
  // The focus shows only in the active window. A window system without a window manager may not hand
  // the activation back to a window hidden and shown again at once: it thinks that window still active.
  window->activateWindow();
  QApplication::processEvents();
  if (!window->isActiveWindow()) QApplication::setActiveWindow(window);
  // Painting the whole window runs every control's own painting as the screen would.
  (void)window->grab();

  Walk walk(form);
  walk.visit(form);
  ScreenReport report;
  report.faults = std::move(walk.faults);

  QWidget* first = window->focusWidget();
  QWidget* focus = first;
  QImage before = window->grab().toImage();
  for (int steps = 0; focus && steps < 1000; ++steps) {
    report.tabOrder.push_back(walk.owner(focus, form));
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(focus, &tab);
    QWidget* next = window->focusWidget();
    if (next == focus) break;
    // A keyboard user sees where the focus went: the control that took it looks different now.
    const QImage after = window->grab().toImage();
    const QRect area(next->mapTo(window, QPoint(0, 0)), next->size());
    if (before.copy(area) == after.copy(area)) {
      const Control* c = walk.owner(next, form);
      report.faults.push_back((c ? describe(c) : std::string("a widget")) + ": takes the focus unseen");
    }
    before = after;
    if (next == first) break;
    focus = next;
  }
  report.firstFocus = report.tabOrder.empty() ? nullptr : report.tabOrder.front();

  if (!wasShowing) form.hide();
  return report;
}

}  // namespace platform
