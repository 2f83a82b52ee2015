#include "components/ProgramFile.h"

#include <array>

#include "components/VersionBlock.h"
#include "platform/core/Bytes.h"
#include "platform/core/Files.h"

namespace components {

namespace {

// Random access to a file, every read checked against its size. A file that cannot be opened, or is no
// regular file, reads as empty.
class FileReader {
 public:
  explicit FileReader(const std::string& path) {
    try {
      file_.emplace(path);
    } catch (const platform::FileError&) {
    }
  }
  std::uint64_t size() const { return file_ ? file_->size() : 0; }

  std::optional<std::vector<std::uint8_t>> read(std::uint64_t offset, std::uint64_t count) {
    if (offset > size() || count > size() - offset) return std::nullopt;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(count));
    if (!file_->readAt(offset, out.data(), out.size())) return std::nullopt;
    return out;
  }

 private:
  std::optional<platform::RegularFile> file_;
};

// Little- or big-endian fields of a header already read.
struct Fields {
  const std::vector<std::uint8_t>& b;
  bool big = false;
  std::uint64_t get(std::size_t at, int bytes) const {
    if (at + static_cast<std::size_t>(bytes) > b.size()) return 0;
    const std::uint8_t* p = b.data() + at;
    if (!big)
      return bytes == 2 ? platform::readLe16(p) : bytes == 4 ? platform::readLe32(p) : platform::readLe64(p);
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
  }
  std::uint32_t u16(std::size_t at) const { return static_cast<std::uint32_t>(get(at, 2)); }
  std::uint32_t u32(std::size_t at) const { return static_cast<std::uint32_t>(get(at, 4)); }
  std::uint64_t u64(std::size_t at) const { return get(at, 8); }
};

constexpr std::uint64_t kMaxSectionTable = 4u << 20;
constexpr std::uint64_t kMaxNameTable = 1u << 20;

std::optional<std::vector<std::uint8_t>> fromElf(FileReader& f) {
  auto ident = f.read(0, 64);
  if (!ident) ident = f.read(0, 52);
  if (!ident) return std::nullopt;
  const auto& h = *ident;
  const bool wide = h[4] == 2;
  if ((h[4] != 1 && h[4] != 2) || (h[5] != 1 && h[5] != 2)) return std::nullopt;
  if (wide && h.size() < 64) return std::nullopt;
  const Fields e{h, h[5] == 2};
  const std::uint64_t shoff = wide ? e.u64(0x28) : e.u32(0x20);
  const std::uint32_t shentsize = e.u16(wide ? 0x3A : 0x2E);
  std::uint64_t shnum = e.u16(wide ? 0x3C : 0x30);
  std::uint32_t shstrndx = e.u16(wide ? 0x3E : 0x32);
  const std::uint32_t minEntry = wide ? 64 : 40;
  if (shoff == 0 || shentsize < minEntry) return std::nullopt;

  auto header = [&](std::uint64_t i) { return f.read(shoff + i * shentsize, minEntry); };
  // Many sections, or a name table index past 0xFF00, move the real values into section 0.
  if (shnum == 0 || shstrndx == 0xFFFF) {
    auto first = header(0);
    if (!first) return std::nullopt;
    const Fields s0{*first, e.big};
    if (shnum == 0) shnum = wide ? s0.u64(0x20) : s0.u32(0x14);
    if (shstrndx == 0xFFFF) shstrndx = s0.u32(wide ? 0x28 : 0x18);
  }
  if (shnum == 0 || shnum > kMaxSectionTable / shentsize || shstrndx >= shnum) return std::nullopt;
  auto table = f.read(shoff, shnum * shentsize);
  if (!table) return std::nullopt;
  const Fields t{*table, e.big};
  struct Section {
    std::uint32_t name, type;
    std::uint64_t offset, size;
  };
  auto section = [&](std::uint64_t i) {
    const std::size_t at = static_cast<std::size_t>(i * shentsize);
    if (wide) return Section{t.u32(at), t.u32(at + 4), t.u64(at + 0x18), t.u64(at + 0x20)};
    return Section{t.u32(at), t.u32(at + 4), t.u32(at + 0x10), t.u32(at + 0x14)};
  };
  const Section names = section(shstrndx);
  if (names.size > kMaxNameTable) return std::nullopt;
  auto nameBytes = f.read(names.offset, names.size);
  if (!nameBytes) return std::nullopt;
  constexpr std::uint32_t kNoBits = 8;
  for (std::uint64_t i = 1; i < shnum; ++i) {
    const Section s = section(i);
    if (s.name >= nameBytes->size() || s.type == kNoBits) continue;
    const std::size_t room = nameBytes->size() - s.name;
    const std::string_view name(reinterpret_cast<const char*>(nameBytes->data()) + s.name, room);
    if (name.substr(0, name.find('\0')) != kVersionSection) continue;
    if (s.size == 0 || s.size > kMaxVersionBlock) return std::nullopt;
    return f.read(s.offset, s.size);
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> fromPe(FileReader& f) {
  auto dos = f.read(0, 64);
  if (!dos) return std::nullopt;
  const std::uint32_t peAt = Fields{*dos}.u32(0x3C);
  auto coff = f.read(peAt, 24);
  if (!coff || (*coff)[0] != 'P' || (*coff)[1] != 'E' || (*coff)[2] || (*coff)[3]) return std::nullopt;
  const Fields c{*coff};
  const std::uint32_t sectionCount = c.u16(6);
  const std::uint32_t optionalSize = c.u16(20);
  auto opt = f.read(std::uint64_t{peAt} + 24, optionalSize);
  if (!opt || optionalSize < 2) return std::nullopt;
  const Fields o{*opt};
  const std::uint32_t magic = o.u16(0);
  if (magic != 0x10B && magic != 0x20B) return std::nullopt;
  const std::size_t dirs = magic == 0x20B ? 112 : 96;
  const std::uint32_t dirCount = o.u32(dirs - 4);
  if (dirCount < 3 || dirs + 3 * 8 > optionalSize) return std::nullopt;
  const std::uint32_t resourceRva = o.u32(dirs + 16);
  if (resourceRva == 0) return std::nullopt;
  auto sections = f.read(std::uint64_t{peAt} + 24 + optionalSize, std::uint64_t{sectionCount} * 40);
  if (!sections) return std::nullopt;
  const Fields s{*sections};
  auto fileOffset = [&](std::uint32_t rva, std::uint32_t size) -> std::optional<std::uint64_t> {
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
      const std::size_t at = i * 40;
      const std::uint64_t va = s.u32(at + 12);
      const std::uint64_t span = std::max(s.u32(at + 8), s.u32(at + 16));
      if (rva >= va && std::uint64_t{rva} + size <= va + span) return s.u32(at + 20) + (rva - va);
    }
    return std::nullopt;
  };
  const auto base = fileOffset(resourceRva, 16);
  if (!base) return std::nullopt;
  // Three levels: type, name, language; the first entry of each, with RT_VERSION (16) as the type.
  std::uint64_t dir = *base;
  for (int level = 0; level < 3; ++level) {
    auto head = f.read(dir, 16);
    if (!head) return std::nullopt;
    const Fields d{*head};
    const std::uint32_t entries = d.u16(12) + d.u16(14);
    if (entries == 0 || entries > 4096) return std::nullopt;
    auto list = f.read(dir + 16, std::uint64_t{entries} * 8);
    if (!list) return std::nullopt;
    const Fields l{*list};
    std::optional<std::uint32_t> target;
    for (std::uint32_t i = 0; i < entries && !target; ++i)
      if (level > 0 || l.u32(i * 8) == 16) target = l.u32(i * 8 + 4);
    if (!target) return std::nullopt;
    const bool subdirectory = (*target & 0x80000000u) != 0;
    const std::uint64_t next = *base + (*target & 0x7FFFFFFFu);
    if (level < 2 && !subdirectory) return std::nullopt;
    if (level == 2) {
      if (subdirectory) return std::nullopt;
      auto entry = f.read(next, 16);
      if (!entry) return std::nullopt;
      const Fields de{*entry};
      const std::uint32_t size = de.u32(4);
      if (size == 0 || size > kMaxVersionBlock) return std::nullopt;
      const auto at = fileOffset(de.u32(0), size);
      if (!at) return std::nullopt;
      return f.read(*at, size);
    }
    dir = next;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readVersionResource(const std::string& path) {
  FileReader f(path);
  auto magic = f.read(0, 4);
  if (!magic) return std::nullopt;
  const auto& m = *magic;
  if (m[0] == 0x7F && m[1] == 'E' && m[2] == 'L' && m[3] == 'F') return fromElf(f);
  if (m[0] == 'M' && m[1] == 'Z') return fromPe(f);
  return std::nullopt;
}

}  // namespace components
