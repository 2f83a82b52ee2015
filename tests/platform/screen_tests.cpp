// What the layer's controls show: fonts with the widths the layouts expect.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>

#include "platform/controls/Form.h"
#include "platform/controls/Widgets.h"

using namespace platform;

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
