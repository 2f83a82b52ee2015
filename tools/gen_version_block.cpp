// Writes a C++ source that puts a program's version block into the ELF section the about box reads.
// Usage: gen_version_block OUTPUT.cpp VERSION KEY=VALUE...
// VERSION is "a.b.c.d"; it fills the fixed file info and, unless given, FileVersion and ProductVersion.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "components/ProgramFile.h"
#include "components/VersionBlock.h"

namespace {

bool parseVersion(const std::string& text, std::uint16_t (&out)[4]) {
  std::istringstream in(text);
  for (int i = 0; i < 4; ++i) {
    unsigned long part = 0;
    if (!(in >> part) || part > 0xFFFF) return false;
    out[i] = static_cast<std::uint16_t>(part);
    if (i < 3 && in.get() != '.') return false;
  }
  return in.peek() == std::char_traits<char>::eof();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: gen_version_block OUTPUT.cpp VERSION KEY=VALUE...\n";
    return 2;
  }
  components::VersionInfo info;
  const std::string version = argv[2];
  if (!parseVersion(version, info.fixed.fileVersion)) {
    std::cerr << "gen_version_block: version must be four numbers joined by dots: " << version << "\n";
    return 2;
  }
  std::copy(std::begin(info.fixed.fileVersion), std::end(info.fixed.fileVersion), info.fixed.productVersion);
  bool hasFile = false, hasProduct = false;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) {
      std::cerr << "gen_version_block: expected KEY=VALUE: " << arg << "\n";
      return 2;
    }
    info.strings.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
    hasFile = hasFile || arg.substr(0, eq) == "FileVersion";
    hasProduct = hasProduct || arg.substr(0, eq) == "ProductVersion";
  }
  if (!hasFile) info.strings.emplace_back("FileVersion", version);
  if (!hasProduct) info.strings.emplace_back("ProductVersion", version);

  std::vector<std::uint8_t> block;
  try {
    block = components::buildVersionBlock(info);
  } catch (const std::exception& e) {
    std::cerr << "gen_version_block: " << e.what() << "\n";
    return 1;
  }
  std::ostringstream src;
  src << "// Made by gen_version_block from the build's version; not edited by hand.\n"
      << "__attribute__((section(\"" << components::kVersionSection << "\"), used, aligned(4)))\n"
      << "static const unsigned char versionBlock[" << block.size() << "] = {";
  for (std::size_t i = 0; i < block.size(); ++i) src << (i % 16 ? " " : "\n    ") << int{block[i]} << ",";
  src << "\n};\n";
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << src.str();
  if (!out.flush()) {
    std::cerr << "gen_version_block: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
