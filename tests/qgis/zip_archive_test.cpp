#include "qgis/zip_archive.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace quillet::qgis {
namespace {

using test::Why;

// CRC-32 of "123456789" (the published check value), and the text as one stored deflate block.
constexpr uint32_t kCheckCrc = 0xCBF43926;
const std::string kDeflatedCheck = std::string("\x01\x09\x00\xf6\xff", 5) + "123456789";

std::string Le(uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>(value >> (8 * i));
  return out;
}

struct Entry {
  std::string name;
  std::string data = "123456789";  // as stored in the archive
  uint16_t method = 0;
  uint16_t flags = 0;  // bit 3: a data descriptor follows the data
  bool descriptorSignature = true;
  uint32_t crc = kCheckCrc;
  uint32_t size = 9;
  std::string extra = "";
};

// An archive as a zipper writes it, with each member's local run apart.
struct Built {
  std::string bytes;
  std::vector<std::string> locals;
};

Built Build(const std::vector<Entry>& entries, const std::string& comment = "") {
  Built built;
  std::string directory;
  for (const Entry& e : entries) {
    const std::string sizes = Le(e.crc, 4) + Le(e.data.size(), 4) + Le(e.size, 4);
    const std::string common = Le(e.method, 2) + Le(0x6000, 2) + Le(0x5a21, 2);  // time, date
    const std::string names = Le(e.name.size(), 2) + Le(e.extra.size(), 2);
    const bool descriptor = e.flags & 8;
    std::string local = Le(0x04034b50, 4) + Le(20, 2) + Le(e.flags, 2) + common +
                        (descriptor ? std::string(12, '\0') : sizes) + names + e.name + e.extra +
                        e.data;
    if (descriptor) local += (e.descriptorSignature ? Le(0x08074b50, 4) : "") + sizes;
    directory += Le(0x02014b50, 4) + Le(0x031e, 2) + Le(20, 2) + Le(e.flags, 2) + common + sizes +
                 names + Le(0, 6) + Le(0x81a40000, 4) + Le(built.bytes.size(), 4) + e.name +
                 e.extra;
    built.locals.push_back(local);
    built.bytes += local;
  }
  const uint32_t count = static_cast<uint32_t>(entries.size());
  built.bytes += directory + Le(0x06054b50, 4) + Le(0, 4) + Le(count, 2) + Le(count, 2) +
                 Le(directory.size(), 4) + Le(built.bytes.size(), 4) + Le(comment.size(), 2) +
                 comment;
  return built;
}

std::string ExtractFailure(const Entry& entry) {
  const ZipArchive archive = ZipArchive::Parse(Build({entry}).bytes, "p.qgz");
  return Why([&] { archive.Extract(entry.name); });
}

TEST(ZipArchive, ExtractChecksTheMembersData) {
  EXPECT_EQ(ExtractFailure({.name = "p.qgs", .crc = 1}),
            "p.qgz: p.qgs: CRC-32 mismatch (the central directory gives 0x00000001, the data "
            "0xcbf43926)");
  EXPECT_EQ(ExtractFailure({.name = "p.qgs", .size = 10}),
            "p.qgz: p.qgs: size mismatch (the central directory gives 10 bytes, the data 9)");
  EXPECT_EQ(ExtractFailure({.name = "p.qgs", .data = kDeflatedCheck.substr(0, 9), .method = 8}),
            "p.qgz: p.qgs: damaged deflate data (it ends early)");
}

TEST(ZipArchive, RejectsArchivesItCannotRead) {
  const std::string plain = Build({{.name = "p.qgs"}}).bytes;
  const size_t end = plain.size() - 22, central = 44;  // 30 + "p.qgs" + 9 bytes of data
  const auto patched = [&](size_t at, const std::string& bytes) {
    return std::string(plain).replace(at, bytes.size(), bytes);
  };
  const std::pair<std::string, std::string> cases[] = {
      {"<qgis/>", "not a zip archive (no end of central directory record)"},
      {plain.substr(0, plain.size() - 1),
       "truncated zip archive (no end of central directory record)"},
      {patched(end + 4, Le(1, 2)), "zip archives that span several disks are not supported"},
      {patched(end + 16, Le(0xFFFFFFFF, 4)), "ZIP64 archives are not supported"},
      {patched(end + 16, Le(central + 1, 4)),
       "truncated zip archive (the central directory runs past its end record)"},
      {patched(end + 16, Le(central - 1, 4)),
       "damaged zip archive (the central directory stops short of its end record)"},
      {Build({{.name = "p.qgs", .flags = 1}}).bytes,
       "p.qgs: the member is encrypted, which is not supported"},
      {Build({{.name = "p.qgs", .method = 12}}).bytes,
       "p.qgs: the member is compressed with method 12, which is not supported (only stored and "
       "deflate are)"},
      {Build({{.name = "p.qgs", .extra = Le(1, 2) + Le(0, 2)}}).bytes,
       "p.qgs: the member uses ZIP64, which is not supported"},
      {patched(central + 20, Le(10, 4)),
       "p.qgs: truncated zip archive (the member's data runs into the central directory)"},
      {Build({{.name = "p.qgs", .flags = 8, .crc = 1}}).bytes.replace(48, 1, "\x02"),
       "p.qgs: damaged zip archive (the member's data descriptor does not match the central "
       "directory)"},
  };
  for (const auto& [bytes, message] : cases)
    EXPECT_EQ(Why([&] { ZipArchive::Parse(bytes, "p.qgz"); }), "p.qgz: " + message);
}

TEST(ZipArchive, ExtractsEveryKindOfMemberAndReplacesOneCopyingTheRest) {
  // A project between two other members, with data descriptors (one with its signature, one
  // without) as streaming zippers write them, and one member deflated.
  const Built built = Build({{.name = "a.qgd", .flags = 8},
                             {.name = "p.qgs", .flags = 8, .descriptorSignature = false},
                             {.name = "c.txt", .data = kDeflatedCheck, .method = 8}},
                            "archive comment");
  const ZipArchive archive = ZipArchive::Parse(built.bytes, "p.qgz");
  for (const char* name : {"a.qgd", "p.qgs", "c.txt"})
    EXPECT_EQ(archive.Extract(name), "123456789");
  EXPECT_EQ(Why([&] { archive.Extract("p.qgz"); }), "p.qgz: p.qgz: the archive has no such member");

  const std::string project = "<qgis>" + std::string(5000, 'x') + "</qgis>";
  const std::string bytes = archive.WithMember("p.qgs", project);
  const ZipArchive rewritten = ZipArchive::Parse(bytes, "p.qgz");
  EXPECT_EQ(rewritten.Names(), (std::vector<std::string>{"a.qgd", "p.qgs", "c.txt"}));
  EXPECT_EQ(rewritten.Extract("p.qgs"), project);
  for (const char* other : {"a.qgd", "c.txt"})
    EXPECT_EQ(rewritten.Extract(other), "123456789");
  // The other members' bytes as they were; the project deflated, far shorter than its text.
  EXPECT_EQ(bytes.substr(0, built.locals[0].size()), built.locals[0]);
  EXPECT_LT(bytes.find(built.locals[2]), built.locals[0].size() + 100);
  EXPECT_EQ(bytes.substr(bytes.size() - 15), "archive comment");
}

}  // namespace
}  // namespace quillet::qgis
