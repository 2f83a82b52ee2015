#pragma once

// Tiny program files assembled in code: a Windows program with one version resource, and ELF files with a
// version section, in both word sizes and byte orders.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "components/ProgramFile.h"

namespace fixtures {

using Bytes = std::vector<std::uint8_t>;

inline void put(Bytes& b, std::size_t at, std::uint64_t v, int bytes, bool big = false) {
  if (b.size() < at + static_cast<std::size_t>(bytes)) b.resize(at + static_cast<std::size_t>(bytes));
  for (int i = 0; i < bytes; ++i)
    b[at + static_cast<std::size_t>(big ? bytes - 1 - i : i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A PE32 file whose one section ".rsrc" holds the resource tree type 16 / name 1 / language 0409.
inline Bytes peFile(const Bytes& block) {
  Bytes b(512, 0);
  b[0] = 'M';
  b[1] = 'Z';
  put(b, 0x3C, 64, 4);
  b[64] = 'P';
  b[65] = 'E';
  put(b, 68, 0x14C, 2);  // machine
  put(b, 70, 1, 2);      // sections
  put(b, 84, 224, 2);    // optional header size
  const std::size_t opt = 88;
  put(b, opt, 0x10B, 2);
  put(b, opt + 92, 16, 4);  // data directories
  const std::uint32_t rva = 0x1000;
  const std::uint32_t treeSize = 0x58 + static_cast<std::uint32_t>(block.size());
  put(b, opt + 96 + 16, rva, 4);
  put(b, opt + 96 + 20, treeSize, 4);
  const std::size_t sec = opt + 224;
  for (int i = 0; i < 5; ++i) b[sec + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(".rsrc"[i]);
  put(b, sec + 8, treeSize, 4);
  put(b, sec + 12, rva, 4);
  put(b, sec + 16, treeSize, 4);
  put(b, sec + 20, 512, 4);
  const std::size_t r = 512;
  const std::uint32_t ids[3] = {16, 1, 0x409};
  for (std::uint32_t level = 0; level < 3; ++level) {
    const std::size_t dir = r + level * 0x18;
    put(b, dir + 14, 1, 2);  // one entry with an id
    put(b, dir + 16, ids[level], 4);
    put(b, dir + 20, level < 2 ? (0x80000000u | ((level + 1) * 0x18)) : 0x48, 4);
  }
  put(b, r + 0x48, rva + 0x58, 4);
  put(b, r + 0x4C, block.size(), 4);
  b.resize(r + 0x58);
  b.insert(b.end(), block.begin(), block.end());
  return b;
}

// An ELF file with the sections null, NAME (holding data) and .shstrtab.
inline Bytes elfFile(const Bytes& data, bool wide = true, bool big = false,
                     const std::string& name = std::string(components::kVersionSection)) {
  const std::size_t header = wide ? 64 : 52, entry = wide ? 64 : 40;
  Bytes b(header, 0);
  b[0] = 0x7F;
  b[1] = 'E';
  b[2] = 'L';
  b[3] = 'F';
  b[4] = wide ? 2 : 1;
  b[5] = big ? 2 : 1;
  b[6] = 1;
  const std::size_t dataAt = b.size();
  b.insert(b.end(), data.begin(), data.end());
  const std::string names = std::string(1, '\0') + name + '\0' + ".shstrtab" + '\0';
  const std::size_t namesAt = b.size();
  b.insert(b.end(), names.begin(), names.end());
  while (b.size() % 8) b.push_back(0);
  const std::size_t shoff = b.size();
  b.resize(shoff + 3 * entry, 0);
  put(b, wide ? 0x28 : 0x20, shoff, wide ? 8 : 4, big);
  put(b, wide ? 0x3A : 0x2E, entry, 2, big);
  put(b, wide ? 0x3C : 0x30, 3, 2, big);
  put(b, wide ? 0x3E : 0x32, 2, 2, big);
  const struct {
    std::uint32_t name, type;
    std::size_t offset, size;
  } sections[2] = {{1, 1, dataAt, data.size()},
                   {static_cast<std::uint32_t>(name.size() + 2), 3, namesAt, names.size()}};
  for (int i = 0; i < 2; ++i) {
    const std::size_t at = shoff + static_cast<std::size_t>(i + 1) * entry;
    put(b, at, sections[i].name, 4, big);
    put(b, at + 4, sections[i].type, 4, big);
    put(b, at + (wide ? 0x18 : 0x10), sections[i].offset, wide ? 8 : 4, big);
    put(b, at + (wide ? 0x20 : 0x14), sections[i].size, wide ? 8 : 4, big);
  }
  return b;
}

// A folder of this test process's own, removed when the process ends.
inline const std::filesystem::path& fixtureFolder() {
  static const struct Folder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tessaly-components-" + std::to_string(::getpid()));
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  } folder;
  return folder.path;
}

inline std::string writeFile(const std::string& name, const Bytes& bytes) {
  const auto& dir = fixtureFolder();
  std::filesystem::create_directories(dir);
  const std::string path = (dir / name).string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

}  // namespace fixtures
