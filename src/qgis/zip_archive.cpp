#include "qgis/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "map/map.h"
#include "map/map_error.h"

namespace quillet::qgis {
namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kMaxCommentSize = 0xFFFF;
// A 32-bit size or offset of this value says the real one is in a ZIP64 field.
constexpr uint32_t kZip64Marker = 0xFFFFFFFF;
constexpr uint16_t kZip64ExtraId = 0x0001;
constexpr uint16_t kEncrypted = 0x0001;
constexpr uint16_t kStrongEncryption = 0x0040;
constexpr uint16_t kDataDescriptor = 0x0008;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kVersionNeeded = 20;

uint16_t U16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1])
                                                                     << 8);
}

uint32_t U32(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(U16(bytes, at)) | static_cast<uint32_t>(U16(bytes, at + 2)) << 16;
}

void Put16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, static_cast<uint16_t>(value & 0xFFFF));
  Put16(out, static_cast<uint16_t>(value >> 16));
}

void Set16(std::string& out, size_t at, uint16_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>(value >> 8);
}

void Set32(std::string& out, size_t at, uint32_t value) {
  Set16(out, at, static_cast<uint16_t>(value & 0xFFFF));
  Set16(out, at + 2, static_cast<uint16_t>(value >> 16));
}

std::string Hex(uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

bool HasZip64Field(std::string_view extra) {
  for (size_t at = 0; at + 4 <= extra.size(); at += 4 + U16(extra, at + 2))
    if (U16(extra, at) == kZip64ExtraId) return true;
  return false;
}

uint32_t Crc32(std::string_view bytes) {
  return static_cast<uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

// The length of the data descriptor that follows a member's data at `at`: 16 with its optional
// signature, 12 without, 0 when neither agrees with the central directory.
size_t DescriptorSize(std::string_view bytes, size_t at, size_t limit, uint32_t crc,
                      uint32_t compressedSize, uint32_t size) {
  const auto matches = [&](size_t from) {
    return from + 12 <= limit && U32(bytes, from) == crc &&
           U32(bytes, from + 4) == compressedSize && U32(bytes, from + 8) == size;
  };
  if (at + 4 <= limit && U32(bytes, at) == kDescriptorSignature && matches(at + 4)) return 16;
  return matches(at) ? 12 : 0;
}

std::string Inflate(std::string_view data, uint32_t size,
                    const std::function<runtime::Error(const std::string&)>& fail) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw fail("cannot start inflating");
  struct End {
    z_stream& stream;
    ~End() { inflateEnd(&stream); }
  } end{stream};
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  std::string out;
  for (;;) {
    // The central directory's size is a claim, not a promise: grow as the data comes, and never
    // past one byte more than the claim, which is enough to see the data run over it.
    const size_t used = out.size();
    out.resize(used + std::min<size_t>(std::max<size_t>(used, 1 << 16), size_t{size} + 1 - used));
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
    stream.avail_out = static_cast<uInt>(out.size() - used);
    const int status = inflate(&stream, Z_NO_FLUSH);
    out.resize(out.size() - stream.avail_out);
    if (status == Z_STREAM_END) return out;
    if (status == Z_BUF_ERROR || (status == Z_OK && stream.avail_in == 0 && stream.avail_out > 0))
      throw fail("damaged deflate data (it ends early)");
    if (status != Z_OK)
      throw fail("damaged deflate data (" +
                 std::string(stream.msg ? stream.msg : "zlib error " + std::to_string(status)) +
                 ")");
    if (out.size() > size)
      throw fail("inflates to more than the " + std::to_string(size) +
                 " bytes the central directory gives");
  }
}

std::string Deflate(std::string_view contents,
                    const std::function<runtime::Error(const std::string&)>& fail) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK)
    throw fail("cannot start deflating");
  struct End {
    z_stream& stream;
    ~End() { deflateEnd(&stream); }
  } end{stream};
  std::string out(deflateBound(&stream, contents.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(contents.data()));
  stream.avail_in = static_cast<uInt>(contents.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  // deflateBound leaves room for everything, so one call finishes.
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw fail("cannot deflate the new contents");
  out.resize(stream.total_out);
  return out;
}

}  // namespace

ZipArchive ZipArchive::Parse(std::string bytes, const std::string& file) {
  const auto fail = [&](const std::string& what) { return map::MapError(file, "", what); };
  ZipArchive archive(std::move(bytes), file);
  const std::string_view view = archive.mBytes;

  // The end record closes the file, followed only by the archive comment it measures.
  size_t end = std::string::npos;
  if (view.size() >= kEndSize) {
    const size_t lowest =
        view.size() - kEndSize - std::min(view.size() - kEndSize, kMaxCommentSize);
    for (size_t at = view.size() - kEndSize + 1; at-- > lowest;) {
      if (U32(view, at) == kEndSignature && at + kEndSize + U16(view, at + 20) == view.size()) {
        end = at;
        break;
      }
    }
  }
  if (end == std::string::npos) {
    // A file cut short still starts like a zip archive.
    const bool started = view.size() >= 4 && U32(view, 0) == kLocalSignature;
    throw fail(std::string(started ? "truncated zip archive" : "not a zip archive") +
               " (no end of central directory record)");
  }
  const uint16_t count = U16(view, end + 10);
  const uint32_t directorySize = U32(view, end + 12);
  const uint32_t directoryOffset = U32(view, end + 16);
  if ((end >= kZip64LocatorSize && U32(view, end - kZip64LocatorSize) == kZip64LocatorSignature) ||
      count == 0xFFFF || directorySize == kZip64Marker || directoryOffset == kZip64Marker)
    throw fail("ZIP64 archives are not supported");
  if (U16(view, end + 4) != 0 || U16(view, end + 6) != 0 || U16(view, end + 8) != count)
    throw fail("zip archives that span several disks are not supported");
  const size_t directoryEnd = size_t{directoryOffset} + directorySize;
  if (directoryEnd > end)
    throw fail("truncated zip archive (the central directory runs past its end record)");
  if (directoryEnd < end)
    throw fail("damaged zip archive (the central directory stops short of its end record)");

  archive.mCommentOffset = end + kEndSize;
  size_t at = directoryOffset;
  for (size_t index = 0; index < count; ++index) {
    const std::string record = "central directory record " + std::to_string(index + 1);
    if (at + kCentralHeaderSize > directoryEnd)
      throw fail("damaged zip archive (" + record + " runs past the central directory)");
    if (U32(view, at) != kCentralSignature)
      throw fail("damaged zip archive (" + record + " has no signature)");
    Member member;
    const size_t nameSize = U16(view, at + 28);
    const size_t extraSize = U16(view, at + 30);
    member.centralOffset = at;
    member.centralSize = kCentralHeaderSize + nameSize + extraSize + U16(view, at + 32);
    if (at + member.centralSize > directoryEnd)
      throw fail("damaged zip archive (" + record + " runs past the central directory)");
    member.name = view.substr(at + kCentralHeaderSize, nameSize);
    member.flags = U16(view, at + 8);
    member.method = U16(view, at + 10);
    member.crc = U32(view, at + 16);
    member.compressedSize = U32(view, at + 20);
    member.size = U32(view, at + 24);
    member.localOffset = U32(view, at + 42);
    const auto failHere = [&](const std::string& what) {
      return map::MapError(file, member.name, what);
    };
    if (member.flags & (kEncrypted | kStrongEncryption))
      throw failHere("the member is encrypted, which is not supported");
    if (member.method != kStored && member.method != kDeflated)
      throw failHere("the member is compressed with method " + std::to_string(member.method) +
                     ", which is not supported (only stored and deflate are)");
    if (member.compressedSize == kZip64Marker || member.size == kZip64Marker ||
        member.localOffset == kZip64Marker ||
        HasZip64Field(view.substr(at + kCentralHeaderSize + nameSize, extraSize)))
      throw failHere("the member uses ZIP64, which is not supported");

    const size_t local = member.localOffset;
    if (local + kLocalHeaderSize > directoryOffset || U32(view, local) != kLocalSignature)
      throw failHere("damaged zip archive (no local header at offset " + std::to_string(local) +
                     ")");
    const size_t localNameSize = U16(view, local + 26);
    const size_t localExtraSize = U16(view, local + 28);
    member.dataOffset = local + kLocalHeaderSize + localNameSize + localExtraSize;
    const size_t dataEnd = member.dataOffset + member.compressedSize;
    if (dataEnd > directoryOffset)
      throw failHere("truncated zip archive (the member's data runs into the central directory)");
    if (HasZip64Field(view.substr(local + kLocalHeaderSize + localNameSize, localExtraSize)))
      throw failHere("the member uses ZIP64, which is not supported");
    size_t descriptorSize = 0;
    if (U16(view, local + 6) & kDataDescriptor) {
      descriptorSize = DescriptorSize(view, dataEnd, directoryOffset, member.crc,
                                      member.compressedSize, member.size);
      if (descriptorSize == 0)
        throw failHere(
            "damaged zip archive (the member's data descriptor does not match the central "
            "directory)");
    }
    member.localSize = dataEnd + descriptorSize - local;
    archive.mMembers.push_back(std::move(member));
    at += archive.mMembers.back().centralSize;
  }
  if (at != directoryEnd)
    throw fail("damaged zip archive (the central directory holds more than its " +
               std::to_string(count) + " records)");
  return archive;
}

ZipArchive ZipArchive::Read(const std::filesystem::path& path) {
  return Parse(map::ReadWholeFile(path, "zip archive"), path.string());
}

std::vector<std::string> ZipArchive::Names() const {
  std::vector<std::string> names;
  for (const Member& member : mMembers)
    names.push_back(member.name);
  return names;
}

const ZipArchive::Member& ZipArchive::Find(std::string_view name) const {
  for (const Member& member : mMembers)
    if (member.name == name) return member;
  throw map::MapError(mFile, std::string(name), "the archive has no such member");
}

std::string ZipArchive::Extract(std::string_view name) const {
  const Member& member = Find(name);
  const auto fail = [&](const std::string& what) {
    return map::MapError(mFile, member.name, what);
  };
  if (member.size > kLargestMember)
    throw fail("the member inflates to " + std::to_string(member.size) +
               " bytes; quillet reads project members of at most " +
               std::to_string(kLargestMember >> 20) + " MiB");
  const std::string_view data =
      std::string_view(mBytes).substr(member.dataOffset, member.compressedSize);
  std::string contents =
      member.method == kStored ? std::string(data) : Inflate(data, member.size, fail);
  if (contents.size() != member.size)
    throw fail("size mismatch (the central directory gives " + std::to_string(member.size) +
               " bytes, the data " + std::to_string(contents.size()) + ")");
  const uint32_t crc = Crc32(contents);
  if (crc != member.crc)
    throw fail("CRC-32 mismatch (the central directory gives " + Hex(member.crc) + ", the data " +
               Hex(crc) + ")");
  return contents;
}

std::string ZipArchive::WithMember(std::string_view name, std::string_view contents) const {
  const Member& target = Find(name);
  const auto fail = [&](const std::string& what) {
    return map::MapError(mFile, target.name, what);
  };
  const auto tooLarge = [&] {
    return fail("the new contents make the archive too large for a zip archive without ZIP64");
  };
  if (contents.size() >= kZip64Marker) throw tooLarge();
  const std::string data = Deflate(contents, fail);
  if (data.size() >= kZip64Marker) throw tooLarge();
  const uint32_t crc = Crc32(contents);
  const std::string_view bytes = mBytes;

  std::string out;
  out.reserve(mBytes.size() + data.size());
  std::string directory;
  for (const Member& member : mMembers) {
    const size_t offset = out.size();
    if (offset >= kZip64Marker) throw tooLarge();
    std::string record(bytes.substr(member.centralOffset, member.centralSize));
    if (&member == &target) {
      const uint16_t flags = member.flags & ~kDataDescriptor;
      const size_t local = member.localOffset;
      const size_t localExtraSize = U16(bytes, local + 28);
      const size_t localExtra = local + kLocalHeaderSize + U16(bytes, local + 26);
      Put32(out, kLocalSignature);
      Put16(out, kVersionNeeded);
      Put16(out, flags);
      Put16(out, kDeflated);
      Put16(out, U16(record, 12));  // time
      Put16(out, U16(record, 14));  // date
      Put32(out, crc);
      Put32(out, static_cast<uint32_t>(data.size()));
      Put32(out, static_cast<uint32_t>(contents.size()));
      Put16(out, static_cast<uint16_t>(member.name.size()));
      Put16(out, static_cast<uint16_t>(localExtraSize));
      out += member.name;
      out += bytes.substr(localExtra, localExtraSize);
      out += data;
      Set16(record, 6, kVersionNeeded);
      Set16(record, 8, flags);
      Set16(record, 10, kDeflated);
      Set32(record, 16, crc);
      Set32(record, 20, static_cast<uint32_t>(data.size()));
      Set32(record, 24, static_cast<uint32_t>(contents.size()));
    } else {
      out += bytes.substr(member.localOffset, member.localSize);
    }
    Set32(record, 42, static_cast<uint32_t>(offset));
    directory += record;
  }
  const size_t directoryOffset = out.size();
  if (directoryOffset + directory.size() >= kZip64Marker) throw tooLarge();
  out += directory;
  const std::string_view comment = bytes.substr(mCommentOffset);
  Put32(out, kEndSignature);
  Put16(out, 0);  // this disk
  Put16(out, 0);  // the disk where the central directory starts
  Put16(out, static_cast<uint16_t>(mMembers.size()));
  Put16(out, static_cast<uint16_t>(mMembers.size()));
  Put32(out, static_cast<uint32_t>(directory.size()));
  Put32(out, static_cast<uint32_t>(directoryOffset));
  Put16(out, static_cast<uint16_t>(comment.size()));
  out += comment;
  return out;
}

}  // namespace quillet::qgis
