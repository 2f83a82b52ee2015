#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/qtbase/Settings.h"

namespace fs = std::filesystem;
using platform::Settings;
using platform::SettingsError;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = Settings::fileFor("Tester", "values");
    fs::remove_all(fs::path(path).parent_path());
    fs::create_directories(fs::path(path).parent_path());
  }
  void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  std::string path;
};

TEST_F(SettingsTest, LivesUnderTheUsersConfigFolder) {
  EXPECT_EQ(path, std::string(std::getenv("XDG_CONFIG_HOME")) + "/Tester/values.conf");
}

TEST_F(SettingsTest, StringsRoundTripAndMissingValuesGiveTheDefault) {
  {
    Settings s("Tester", "values");
    EXPECT_FALSE(s.valueExists("Ext Ed"));
    EXPECT_EQ(s.readString("Ext Ed", "dflt"), "dflt");
    s.writeString("Ext Ed", "1");
    s.writeString("Install", "/opt/my tiles/");
    s.writeString("Editor", "");
    s.sync();
  }
  Settings again("Tester", "values");
  EXPECT_EQ(again.readString("Ext Ed", ""), "1");
  EXPECT_EQ(again.readString("Install", ""), "/opt/my tiles/");
  EXPECT_TRUE(again.valueExists("Editor"));
  EXPECT_EQ(again.readString("Editor", "x"), "");
}

// A path is any bytes: one that is not UTF-8 reads back byte for byte, while UTF-8 text stays plain in the
// file, and a file written before reads as it did.
TEST_F(SettingsTest, PathsOfAnyBytesReadBackTheSame) {
  const std::string odd = "/levels/caf\xE9 \xFF\x80/level.prj", plain = "/levels/caf\xC3\xA9/l\xC3\xA9vel.prj";
  {
    Settings s("Tester", "values");
    s.writeString("Startup", odd);
    s.writeString("Editor", plain);
    s.writeString("Install", "@ByteArray(not bytes)");
    s.sync();
  }
  std::ifstream in(path, std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(file.find("Editor=" + plain + "\n"), std::string::npos) << file;
  Settings again("Tester", "values");
  EXPECT_EQ(again.readString("Startup", ""), odd);
  EXPECT_EQ(again.readString("Editor", ""), plain);
  EXPECT_EQ(again.readString("Install", ""), "@ByteArray(not bytes)");
  write("[General]\nStartup=/old/level.prj\n");
  EXPECT_EQ(Settings("Tester", "values").readString("Startup", ""), "/old/level.prj");
}

TEST_F(SettingsTest, HostileFilesAreClearErrors) {
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {"[General]\nStartup=a, b\n", "\"Startup\" in"},
      {"[General]\nStartup=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n", "is not a string"},
      {"[General]\nStartup=" + std::string(2 << 20, 'x') + "\n", "is too large"},
  };
  for (const auto& c : cases) {
    write(c.text);
    try {
      Settings s("Tester", "values");
      s.readString("Startup", "");
      ADD_FAILURE() << "accepted " << c.text.substr(0, 40);
    } catch (const SettingsError& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
    }
  }
}

TEST_F(SettingsTest, AWriteThatCannotReachTheDiskIsAnError) {
  fs::remove_all(fs::path(path).parent_path());
  std::ofstream(fs::path(path).parent_path().string()) << "a file where the folder should be";
  Settings s("Tester", "values");
  s.writeString("Startup", "nostartup");
  EXPECT_THROW(s.sync(), SettingsError);
  fs::remove(fs::path(path).parent_path());
}
