#pragma once

#include <string>

namespace components {

// Shows a modal about window with the version of a program file, and hands out the running program's
// file version and internal name. The window exists only during each call.
class THalvornAboutBox {
 public:
  THalvornAboutBox();

  std::string Title;
  std::string Version;  // stands in when the version resource gives none
  std::string Copyright;
  std::string Author;
  int TextLeft = 20;
  bool TextCentered = true;
  std::string Caption;
  int Height = 250;  // raised by Execute to fit the logo, and kept
  int Width = 230;
  int Top = 0;
  int Left = 0;
  std::string Filename;  // the file whose version Execute shows
  std::string IconFile;  // a bitmap file for the logo
  bool DefaultIcon = false;

  // True when the window was closed with its OK button.
  bool Execute();
  std::string ReadFileVersion();
  std::string ReadInternalName();

 private:
  std::string runningProgramEntry(std::size_t index);
};

}  // namespace components
