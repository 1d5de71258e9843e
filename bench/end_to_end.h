#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::bench {

/// What the end-to-end table runs.
struct EndToEndOptions {
  std::vector<int64_t> sizes;
  int runs = 5;
  std::vector<std::string> workloads;
  /// Where the synthetic layers and their map documents are.
  std::string data;
  /// The quillet command.
  std::string quillet;
  /// Also the layers as shapefiles, against GDAL's own SQL.
  bool shapefiles = true;
  /// The socket folder of the servers tests/postgres_servers.sh started: the layers are then
  /// loaded into PostgreSQL, plain and sharded, and timed against psql. "" leaves them out.
  std::string postgres;
};

/// `quillet labels` on a map document, process start to exit, as a user runs it, against the
/// one-pass answer of the same question on the same data by the source's own tool (`sqlite3`,
/// `ogrinfo -dialect sqlite`, `psql`), runs taken in turn; and `quillet show` on the same map.
/// Prints one table row per workload, size and format; checks that quillet's labels carry the
/// reference's counts. Returns the number of failures.
int RunEndToEnd(const EndToEndOptions& options);

}  // namespace quillet::bench
