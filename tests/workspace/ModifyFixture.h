#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/workspace/TileHelpers.h"

// A workspace with three tiles whose program folder is one of the test's own, so the temporary tile file
// of one test never meets another's.
class ModifyTest : public TilesTest {
 protected:
  using Args = std::vector<std::string>;

  void SetUp() override {
    TilesTest::SetUp();
    start();
  }

  static std::string home() { return std::getenv("TESSALY_TEST_HOME"); }

  // A program folder at folder with an editor program file in it, made the workspace's.
  std::string installAt(const std::string& folder) {
    fs::create_directories(folder);
    std::ofstream(folder + "pxwkproj") << "editor";
    frm->editorFolder = frm->tempFolder = folder;
    return folder + "pxwkproj";
  }

  static std::string tileFileIn(const std::string& folder) { return folder + "tempbmp.bmp"; }

  // What a scripted editor does: paints pixel (0, 0) of the file it was given.
  static void paintFirstPixel(const Args& argv, platform::Color c) {
    platform::Bitmap b = platform::loadBmpFile(argv.at(1));
    b.setPixel(0, 0, c);
    platform::saveBmpFile(argv.at(1), b);
  }
};
