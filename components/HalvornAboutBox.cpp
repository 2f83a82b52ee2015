#include "components/HalvornAboutBox.h"

#include "components/HalvornAbout.h"
#include "platform/controls/Application.h"
#include "platform/core/BmpFile.h"

namespace components {

namespace {
const char kDefaultCopyright[] = "Copyright (c) 2026 Halvorn";
const char kDefaultAuthor[] = "Written by the Halvorn team";
}  // namespace

THalvornAboutBox::THalvornAboutBox() : Copyright(kDefaultCopyright) {
  const platform::Application& app = platform::Application::instance();
  Top = app.screenHeight() / 2;
  Left = app.screenWidth() / 2;
}

bool THalvornAboutBox::Execute() {
  const platform::Application& app = platform::Application::instance();
  TAbout form;
  if (Title.empty()) Title = app.title();
  form.setCaption(Caption);
  form.GetVersion.setFileName(Filename);
  if (Author.empty()) Author = kDefaultAuthor;
  const auto& strings = form.GetVersion.VersionStrings();
  form.WVersion.setCaption(strings.size() >= 3 ? "Version " + strings[2] : Version);
  form.WTitle.setCaption(Title);
  form.WCopyright.setCaption(Copyright);
  form.WAuthor.setCaption(Author);
  if (!DefaultIcon) form.Logo.setPicture(IconFile.empty() ? app.icon() : platform::loadBmpFile(IconFile));

  const int pw = form.Logo.picture().width();
  const int ph = form.Logo.picture().height();
  if (pw >= Width) Width = pw + 8;
  if (Width < 120) Width = 120;
  if (Height < ph + 150) Height = ph + 150;
  form.setOuterSize(Width, Height);
  const int w = Width;
  platform::Label* texts[] = {&form.WTitle, &form.WAuthor, &form.WCopyright, &form.WVersion};
  for (platform::Label* t : texts) {
    const int left = TextCentered ? w / 2 - t->width() / 2 : TextLeft;
    t->setBounds(left, t->top(), t->width(), t->height());
  }
  form.Logo.setBounds(w / 2 - pw / 2, 80, 137, 121);
  const int okWidth = w - 60;
  form.OkButton.setBounds(w / 2 - okWidth / 2, ph + 90, okWidth, form.OkButton.height());
  form.centerOnScreen();
  return form.showModal() == platform::mrOk;
}

std::string THalvornAboutBox::runningProgramEntry(std::size_t index) {
  TAbout form;
  form.GetVersion.setFileName(platform::Application::instance().exeName());
  const auto& strings = form.GetVersion.VersionStrings();
  return strings.size() > index ? strings[index] : Version;
}

std::string THalvornAboutBox::ReadFileVersion() { return runningProgramEntry(2); }

std::string THalvornAboutBox::ReadInternalName() { return runningProgramEntry(3); }

}  // namespace components
