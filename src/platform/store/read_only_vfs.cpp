#include "platform/store/read_only_vfs.h"

#include <sqlite3.h>

#include <fstream>
#include <mutex>
#include <string_view>

#include "quillet/error.h"

namespace quillet::platform {
namespace {

constexpr const char* kVfsName = "quillet-readonly";

// Without locks: a reader must not block a writer that has the file open (QGIS), nor wait
// for one. Uncommitted WAL frames have no commit mark and are never read.
sqlite3_vfs* gBase = nullptr;
sqlite3_vfs gReadOnly;

int OpenReadOnly(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  // The database and its journals are opened for reading only; temporary files SQLite makes
  // for itself elsewhere stay as they are.
  constexpr int kOwnFiles = SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_JOURNAL;
  if (flags & kOwnFiles) {
    flags &= ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE |
               SQLITE_OPEN_DELETEONCLOSE);
    flags |= SQLITE_OPEN_READONLY;
  }
  return gBase->xOpen(gBase, name, file, flags, outFlags);
}

// SQLite removes a WAL or journal it thinks it is done with; these are someone else's.
int KeepFile(sqlite3_vfs*, const char*, int) {
  return SQLITE_OK;
}

void Register() {
  static std::once_flag once;
  std::call_once(once, [] {
    gBase = sqlite3_vfs_find("unix-none");
    if (gBase == nullptr) return;
    gReadOnly = *gBase;
    gReadOnly.zName = kVfsName;
    gReadOnly.pNext = nullptr;
    gReadOnly.xOpen = OpenReadOnly;
    gReadOnly.xDelete = KeepFile;
    if (sqlite3_vfs_register(&gReadOnly, 0) != SQLITE_OK) gBase = nullptr;
  });
  if (gBase == nullptr)
    throw runtime::Error::Platform("SQLite offers no way to read a database without locks");
}

// A path in a URI: '%', '?' and '#' would end or change it.
std::string UriPath(const std::string& path) {
  std::string escaped;
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      constexpr const char* kHex = "0123456789ABCDEF";
      escaped += '%';
      escaped += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      escaped += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// A database whose header says that its writers keep a rollback journal (not a WAL): the
// read and write versions at offsets 18 and 19 are 1.
bool IsRollbackJournalDatabase(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  char header[20] = {};
  if (!file.read(header, sizeof header)) return false;
  return std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16) &&
         header[18] == 1 && header[19] == 1;
}

}  // namespace

ReadOnlyOpening ReadOnlyUri(const std::filesystem::path& path) {
  const std::filesystem::path absolute = std::filesystem::absolute(path);
  const std::string uri = "file:" + UriPath(absolute.string()) + "?mode=ro";
  std::error_code error;
  if (std::filesystem::exists(absolute.string() + "-wal", error)) {
    Register();
    return {uri + "&vfs=" + kVfsName, false};
  }
  if (IsRollbackJournalDatabase(absolute)) return {uri, true};
  return {uri + "&immutable=1", false};
}

}  // namespace quillet::platform
