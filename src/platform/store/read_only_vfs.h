#pragma once

#include <filesystem>
#include <string>

namespace quillet::platform {

/// How SQLite opens a database file that must be read and never written: not the file, nothing
/// beside it (no -journal, -wal or -shm created, opened for writing or removed), yet what its
/// last committed writer wrote is read, a WAL that holds committed pages included.
///
/// A file with a WAL beside it is read through a VFS of ours that opens every file of the
/// database read-only and never deletes one, without locks and with the WAL index in memory
/// (so the connection must be in exclusive locking mode, which `SqliteConnection` sets). A file
/// in rollback-journal mode is read under SQLite's shared locks, statement by statement: its
/// writer changes the file itself while it commits, so a reader must wait for the commit to
/// end (and cannot read past a journal that a killed writer left behind). Any other file needs
/// nothing but its own pages and is opened immutable.
struct ReadOnlyOpening {
  std::string uri;
  bool sharedLocks = false;  ///< the connection must take this file's locks in normal mode
};
ReadOnlyOpening ReadOnlyUri(const std::filesystem::path& path);

}  // namespace quillet::platform
