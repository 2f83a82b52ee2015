#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/controls/Application.h"
#include "platform/core/BmpFile.h"
#include "platform/qtbase/Settings.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TestFiles.h"
#include "workspace/Tlwkimpo.h"
#include "workspace/Tlwkmain.h"

namespace fs = std::filesystem;

// A workspace window driven headless, with its settings file in the test's own folder.
class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& app = platform::Application::instance();
    app.setTitle("Tessaly");
    app.setScreenSize(1024, 768);
    fs::remove_all(fs::path(confPath()).parent_path());
  }

  static std::string confPath() { return platform::Settings::fileFor("Halvorn", "tlwkproj"); }

  static void writeConf(const std::string& text) {
    fs::create_directories(fs::path(confPath()).parent_path());
    std::ofstream(confPath()) << "[General]\n" << text;
  }

  static std::string stored(const std::string& name) {
    const platform::Settings s("Halvorn", "tlwkproj");
    return s.readString(name, "<missing>");
  }

  // Creates the window and runs its first activation, as the program entry does.
  tlwk::TfrmMain& start() {
    imp.reset();
    frm = std::make_unique<tlwk::TfrmMain>();
    imp = std::make_unique<tlwk::TfrmImport>(*frm);
    frm->frmImport = imp.get();
    frm->show();
    frm->activate();
    return *frm;
  }

  static std::string programFolder() {
    return fs::path(platform::Application::instance().exeName()).parent_path().string() + "/";
  }

  // A folder of the test's own for the files it makes.
  static std::string scratch() { return testing_support::scratchFolder(); }

  // Writes a bitmap file whose pixel (x, y) has colour paint(x, y), nearest in the format.
  template <class Paint>
  static std::string bitmapFile(const std::string& name, int w, int h, platform::PixelFormat format,
                                Paint paint) {
    return testing_support::writeBitmapFile(name, w, h, format, paint);
  }
  static std::string bitmapFile(const std::string& name, int w, int h,
                                platform::PixelFormat format = platform::PixelFormat::pf8bit,
                                platform::Color c = platform::rgb(255, 0, 0)) {
    return bitmapFile(name, w, h, format, [c](int, int) { return c; });
  }

  testing_support::ScriptedServices ui;
  std::unique_ptr<tlwk::TfrmMain> frm;
  std::unique_ptr<tlwk::TfrmImport> imp;
};
