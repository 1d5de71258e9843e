#pragma once

#include <filesystem>
#include <string_view>

namespace quillet::map {

/// Replaces the file at `path` with `contents` so that a reader sees either the old file or
/// the new one, never a part: the text goes into a temporary file beside the target (in the
/// same folder, so the rename stays on one file system), is flushed and synced to disk, takes
/// the old file's permissions, and is renamed over the target; then the folder is synced. A
/// symbolic link is followed, so the file it points to is replaced and the link stays.
///
/// Any failure removes the temporary file, leaves the target as it was, and throws a
/// runtime error "cannot save <path>: <what failed>: <the system's reason>".
///
/// A process killed while it saves leaves its temporary file behind (".map.json.AB12cd"). The
/// file is locked while its save is under way, so a later save of the same target tells such
/// leftovers from another process's save in progress and removes them.
void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view contents);

/// Removes the temporary files of the saves under way in this process, leaving their targets as
/// they were. Async-signal-safe: for a handler of SIGINT or SIGTERM, before the process ends.
void RemovePendingTemporaryFiles() noexcept;

}  // namespace quillet::map
