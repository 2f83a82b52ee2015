#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "editor/pxwkwork.h"
#include "platform/controls/Application.h"
#include "platform/core/BmpFile.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TestFiles.h"

namespace fs = std::filesystem;

// An editor window driven headless, with the files it works on in the test's own folder.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::Application::instance().setTitle("Pixandra"); }

  // Creates the window with these command-line arguments and runs its first activation.
  pxwk::TfrmMain& start(std::vector<std::string> arguments = {}) {
    frm = std::make_unique<pxwk::TfrmMain>(std::move(arguments));
    frm->show();
    frm->activate();
    return *frm;
  }

  static std::string scratch() { return testing_support::scratchFolder(); }

  // A bitmap file whose pixel (x, y) has colour paint(x, y), nearest in the format.
  template <class Paint>
  static std::string bitmapFile(const std::string& name, int w, int h, platform::PixelFormat format,
                                Paint paint) {
    return testing_support::writeBitmapFile(name, w, h, format, paint);
  }

  static std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // What the pixel grid shows in a cell.
  platform::Color shown(int col, int row) {
    const platform::Rect r = frm->grdIcon.cellRect(col, row);
    return frm->grdIcon.canvas().pixel(r.left, r.top);
  }

  testing_support::ScriptedServices ui;
  std::unique_ptr<pxwk::TfrmMain> frm;
};
