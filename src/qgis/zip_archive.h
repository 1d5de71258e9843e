#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::qgis {

/// The largest member `Extract` reads: a QGIS project is some megabytes of XML, so a member
/// that claims more is refused before anything is inflated (a small archive can inflate to
/// gigabytes).
inline constexpr uint32_t kLargestMember = 256u << 20;

/// A zip archive held in memory, as a QGIS .qgz project is: one .qgs project (XML) and
/// sometimes other members, such as the project's .qgd SQLite file. Quillet reads one member
/// and writes the archive back with that member replaced and everything else left as it was.
///
/// Only plain archives are read: one disk, no ZIP64, no encryption, members stored (method 0)
/// or deflated (method 8). Members written with a data descriptor (general purpose flag bit 3)
/// are read too; their sizes and CRC come from the central directory.
class ZipArchive {
 public:
  /// Reads the archive `bytes` (the whole file), which come from `file` (for messages). Fails
  /// with a document error "<file>: <what>" when it is not a zip archive, is truncated or
  /// damaged, spans several disks or uses ZIP64, and "<file>: <member>: <what>" when a member
  /// is encrypted or compressed with another method.
  static ZipArchive Parse(std::string bytes, const std::string& file);
  /// Reads the file at `path`, then parses it.
  static ZipArchive Read(const std::filesystem::path& path);

  /// The members' names, as written, in central-directory order.
  std::vector<std::string> Names() const;
  /// The contents of the first member named `name`, inflated and checked against the CRC-32 and
  /// size the central directory gives. Fails naming the member when there is none of that name,
  /// its size is above `kLargestMember`, its data is damaged, or the check fails.
  std::string Extract(std::string_view name) const;
  /// The bytes of an archive equal to this one but for the contents of the first member named
  /// `name`, which become `contents`: deflated, with a fresh CRC and sizes, version needed 2.0,
  /// and its name, flags (less the data-descriptor bit), times, attributes, extra fields and
  /// comment as before. Every other member's local header, data (and data descriptor) and
  /// central record are copied byte for byte, in central-directory order, only the offsets
  /// changed; the archive comment is kept. Fails when there is no such member or the result
  /// would need ZIP64.
  std::string WithMember(std::string_view name, std::string_view contents) const;

 private:
  /// Where a member's pieces stand in `mBytes`, and what its central record says.
  struct Member {
    std::string name;
    size_t centralOffset = 0;  ///< the central directory record
    size_t centralSize = 0;
    size_t localOffset = 0;  ///< the local header, data and data descriptor, in one run
    size_t localSize = 0;
    size_t dataOffset = 0;  ///< the compressed data
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
  };

  ZipArchive(std::string bytes, std::string file)
      : mBytes(std::move(bytes)), mFile(std::move(file)) {}
  const Member& Find(std::string_view name) const;

  std::string mBytes;
  std::string mFile;
  std::vector<Member> mMembers;
  size_t mCommentOffset = 0;  ///< the archive comment, at the end of mBytes
};

}  // namespace quillet::qgis
