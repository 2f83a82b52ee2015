// What the layer's controls show: fonts with the widths the layouts expect, labels that keep their room
// and show their text whole and literally.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <string>
#include <vector>

#include "platform/controls/Form.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/Widgets.h"

using namespace platform;

namespace {
double shownWidth(const Label& label) {
  const auto* w = static_cast<const QLabel*>(label.widget());
  return QFontMetricsF(w->font()).horizontalAdvance(w->text());
}
}  // namespace

TEST(Fonts, TheWindowsFacesShowInTheFaceWithTheirWidthsAtTheGivenPixelSize) {
  Form form;
  Label label(form, "Colors=256");
  for (const Font& font : {Font{"MS Sans Serif", 11}, Font{"Arial", 16, true}, Font{"Small Fonts", 7}, Font{}}) {
    label.setFont(font);
    const QFontInfo shown(label.widget()->font());
    EXPECT_EQ(shown.family(), "Liberation Sans") << font.family;
    EXPECT_EQ(shown.pixelSize(), font.pixelSize) << font.family;
  }
}

TEST(Label, AFixedSizeLabelKeepsTheSizeItWasGivenWhateverItsTextWas) {
  Form form;
  form.setFont(Font{"MS Sans Serif", 11});
  Label label(form, "");  // auto-sized at first, as every label is
  label.setBounds(8, 8, 521, 13);
  label.setAutoSize(false);
  label.setCaption("Imported Filename: /home/user/sheets/level one.bmp");
  EXPECT_EQ(label.width(), 521);
  EXPECT_EQ(label.height(), 13);
  EXPECT_LE(shownWidth(label), 521.0);
}

// A text a fraction of a pixel too wide is condensed into its room, never cut; an auto-sized label whose
// text is far wider than its room grows instead, at the face's own width.
TEST(Label, ATextSlightlyWiderThanItsRoomIsCondensedAndAFarWiderOneGrows) {
  Form form;
  form.setFont(Font{"MS Sans Serif", 11});
  Label fixed(form, "Number of tiles across bitmap");
  fixed.setBounds(8, 128, 145, 17);
  fixed.setAutoSize(false);
  EXPECT_LE(shownWidth(fixed), 145.0);
  EXPECT_GE(fixed.widget()->font().stretch(), 94);

  Label grown(form, "");
  grown.setBounds(32, 15, 0, 0);
  grown.setCaption("Application Title");
  EXPECT_EQ(grown.widget()->font().stretch(), 100);
  EXPECT_GE(grown.width(), static_cast<int>(shownWidth(grown)));

  Label automatic(form, "Number of tiles across bitmap");
  automatic.setBounds(8, 128, 145, 17);
  EXPECT_LE(automatic.width(), 145) << "an auto-sized label stays within its laid-out room";
}

TEST(Label, ShowsItsCaptionAsPlainTextNeverAsMarkup) {
  Form form;
  Label plain(form, "9.9");
  Label marked(form, "<b>9.9</b>");
  EXPECT_GT(marked.width(), plain.width() + 20) << "the tags are shown, not obeyed";
  EXPECT_EQ(static_cast<QLabel*>(marked.widget())->text(), "<b>9.9</b>");
}

// Panels of the laid-out widths of both programs' status bars, with the longest texts they show.
TEST(StatusBar, APanelGrowsToShowItsWholeTextAndMovesThoseAfterItWhileAFittingOneKeepsItsWidth) {
  const struct {
    std::vector<int> widths;
    std::vector<std::string> texts;
  } bars[] = {{{100, 110, 300}, {"Grid Size: 512x512", "Num of images: 262144", "Project: "}},
              {{100, 110, 300}, {"Grid Size: 4x2", "Num of images: 8", "Project: No file name"}},
              {{60, 120, 610, 50}, {"Colors=256", "Bitmap Size= 1000 x 1000", "", ""}},
              {{60, 120, 610, 50}, {"Colors=16", "Bitmap Size= 16 x 16", "", ""}}};
  for (const auto& b : bars) {
    Form form;
    StatusBar bar(form, 19);
    for (std::size_t i = 0; i < b.widths.size(); ++i) {
      bar.addPanel(b.widths[i]);
      bar.setPanelText(static_cast<int>(i), b.texts[i]);
    }
    const QFontMetricsF metrics(bar.widget()->font());
    int left = 0;
    for (int i = 0; i < bar.panelCount(); ++i) {
      const double text = metrics.horizontalAdvance(QString::fromStdString(b.texts[i]));
      const int laidOut = b.widths[i];
      SCOPED_TRACE(b.texts[i]);
      EXPECT_EQ(bar.panelLeft(i), left);
      EXPECT_GE(bar.panelWidth(i), laidOut);
      EXPECT_GE(bar.panelWidth(i) - 5, text) << "the text is whole";
      if (text + 5 <= laidOut) EXPECT_EQ(bar.panelWidth(i), laidOut);
      left += bar.panelWidth(i);
    }
  }
}
