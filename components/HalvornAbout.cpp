#include "components/HalvornAbout.h"

namespace components {

namespace {
const char kStoredCopyright[] = "Copyright line";
const char kStoredAuthor[] = "Author line";
}  // namespace

platform::Bitmap builtInLogo() {
  // A small tile sheet: a grid of coloured tiles on a dark frame.
  platform::Bitmap logo(147, 120, platform::PixelFormat::pf8bit);
  logo.setColorTable({platform::rgb(32, 32, 48), platform::rgb(224, 96, 64), platform::rgb(96, 176, 80),
                      platform::rgb(64, 128, 208), platform::rgb(232, 200, 72), platform::rgb(240, 240, 240)});
  for (int y = 0; y < logo.height(); ++y)
    for (int x = 0; x < logo.width(); ++x) logo.setIndex(x, y, 0);
  constexpr int kTile = 32, kGap = 3, kLeft = 4, kTop = 3;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) {
      const int x0 = kLeft + col * (kTile + kGap), y0 = kTop + row * (kTile + kGap);
      const auto colour = static_cast<std::uint8_t>(1 + (row + col) % 4);
      for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
          logo.setIndex(x0 + x, y0 + y, (x / 8 + y / 8) % 2 ? colour : static_cast<std::uint8_t>(5));
    }
  return logo;
}

TAbout::TAbout() {
  setCaption("About");
  setDialogBorder();
  setStayOnTop();
  setClientSize(180, 254);
  setFont(platform::Font{"MS Sans Serif", 11});
  const struct {
    platform::Label& label;
    int top;
  } lines[] = {{WTitle, 15}, {WCopyright, 30}, {WAuthor, 45}, {WVersion, 60}};
  for (const auto& l : lines) l.label.setBounds(32, l.top, l.label.width(), l.label.height());
  WCopyright.setCaption(kStoredCopyright);
  WAuthor.setCaption(kStoredAuthor);
  Logo.setBounds(8, 80, 137, 121);
  Logo.setPicture(builtInLogo());
  OkButton.setBounds(40, 218, 97, 25);
  OkButton.setModalResult(platform::mrOk);
  GetVersion.storeLists({"Version string"}, {"Version category"});
  centerOnScreen();
}

}  // namespace components
