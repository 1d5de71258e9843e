#pragma once

#include <filesystem>
#include <string>

namespace quillet::platform {

/// The URI under which SQLite opens a database file that must be read and never written: not
/// the file, nothing beside it (no -journal, -wal or -shm created, opened for writing or
/// removed), yet what its last committed writer wrote is read, a WAL that holds committed
/// pages included.
///
/// A file with a WAL beside it is read through a VFS of ours that opens every file of the
/// database read-only and never deletes one, without locks and with the WAL index in memory
/// (so the connection must be in exclusive locking mode, which `SqliteConnection` sets); a
/// file without one needs nothing but its own pages and is opened immutable.
std::string ReadOnlyUri(const std::filesystem::path& path);

}  // namespace quillet::platform
