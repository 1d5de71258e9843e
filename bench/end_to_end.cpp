#include "end_to_end.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string_view>

#include "synthetic_layer.h"

namespace quillet::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kExpression =
    "$$LABEL: [POP].Sum.FormatNumber(0) people, [AREA].Average.Round(1) km2, [POP].Count";
constexpr const char* kHalfOfTheFeatures = "BUILT >= '1960-01-01'";

struct Run {
  double seconds = 0;
  double peakMiB = 0;
  bool ok = false;
  std::string output;
};

// Runs a program to its end, its output kept in `output` (when asked for) and its errors
// dropped: wall time from fork to reaping, and its peak resident memory.
Run RunProgram(const std::vector<std::string>& args, bool keepOutput) {
  const fs::path out = fs::temp_directory_path() / ("quillet-bench-" + std::to_string(getpid()));
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int sink =
        open(keepOutput ? out.c_str() : "/dev/null", O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = open("/dev/null", O_WRONLY);
    dup2(sink, 1);
    dup2(null, 2);
    std::vector<char*> argv;
    for (const auto& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (keepOutput) {
    std::ifstream in(out);
    run.output.assign(std::istreambuf_iterator<char>(in), {});
    fs::remove(out);
  }
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Workload {
  std::string name;
  nlohmann::ordered_json renderer;
  std::string definition;
  std::string reference;  // SQL over the table "parcels"
};

std::vector<Workload> Workloads() {
  nlohmann::ordered_json unique = {{"kind", "uniqueValue"}, {"fields", {"CLS"}}};
  for (const std::string& value : SyntheticLayer::ClassValues())
    unique["classes"].push_back({{"values", {value}}, {"label", value}});
  nlohmann::ordered_json breaks = {{"kind", "classBreaks"}, {"field", "POP"}, {"minimumBreak", 0}};
  for (double upper : SyntheticLayer::PopBreaks()) {
    char label[32];
    std::snprintf(label, sizeof label, "up to %.0f", upper);
    breaks["classes"].push_back({{"break", upper}, {"label", label}});
  }
  const std::string groupByClass = "SELECT CLS, count(*), sum(POP), avg(AREA) FROM parcels";
  return {
      {"W1", unique, "", groupByClass + " GROUP BY CLS"},
      {"W2", breaks, "",
       "SELECT " + SyntheticLayer::PopClassSql() +
           " AS k, count(*), sum(POP), avg(AREA) FROM parcels" + " WHERE POP <= 100000 GROUP BY k"},
      {"W3", unique, kHalfOfTheFeatures,
       groupByClass + " WHERE " + kHalfOfTheFeatures + " GROUP BY CLS"},
  };
}

// One source of the layer: a file, or a PostgreSQL database.
struct Source {
  std::string format;
  fs::path file;
  std::string database;  // on the bench's PostgreSQL servers
};

std::string Connection(const EndToEndOptions& options, const std::string& database) {
  return "dbname=" + database + " host=" + options.postgres + " port=54329 user=postgres";
}

// The reference SQL in PostgreSQL's spelling: the layer's names keep their capitals.
std::string PostgresSql(std::string sql) {
  for (const char* name : {"CLS", "POP", "AREA", "BUILT"}) {
    const std::string plain = name;
    for (size_t at = sql.find(plain); at != std::string::npos; at = sql.find(plain, at + 2)) {
      const bool inWord = (at > 0 && (std::isalnum(static_cast<unsigned char>(sql[at - 1])) ||
                                      sql[at - 1] == '"')) ||
                          (at + plain.size() < sql.size() &&
                           std::isalnum(static_cast<unsigned char>(sql[at + plain.size()])));
      if (inWord) continue;
      sql.replace(at, plain.size(), "\"" + plain + "\"");
    }
  }
  return sql;
}

fs::path WriteMap(const EndToEndOptions& options, const Workload& workload, const Source& from) {
  nlohmann::ordered_json source = {{"path", from.file.string()}, {"layer", "parcels"}};
  if (!from.database.empty())
    source = {{"connection", "PG:" + Connection(options, from.database)}, {"layer", "parcels"}};
  nlohmann::ordered_json layer = {{"name", workload.name}, {"source", source}};
  // A definition goes to PostgreSQL as it stands, where capitals need their quotes.
  if (!workload.definition.empty())
    layer["definitionExpression"] =
        from.database.empty() ? workload.definition : PostgresSql(workload.definition);
  layer["renderer"] = workload.renderer;
  const nlohmann::ordered_json map = {{"quillet", 1}, {"layers", {layer}}};
  const fs::path path = fs::path(options.data) / (from.format + "-" + workload.name + "-" +
                                                  from.file.parent_path().filename().string() +
                                                  "-" + from.file.stem().string() + ".json");
  std::ofstream(path) << map.dump(2) << '\n';
  return path;
}

// The counts a reference printed, one per line ("key|count|sum|average" of sqlite3 and psql,
// or ogrinfo's "count (Integer) = N"), in the order printed.
std::vector<std::string> ReferenceCounts(const std::string& output, bool ogrinfo) {
  std::vector<std::string> counts;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (ogrinfo) {
      constexpr std::string_view kCount = "count(*) (Integer) = ";
      const size_t at = line.find(kCount);
      if (at != std::string::npos) counts.push_back(line.substr(at + kCount.size()));
    } else {
      const size_t first = line.find('|');
      counts.push_back(line.substr(first + 1, line.find('|', first + 1) - first - 1));
    }
  }
  return counts;
}

// The counts quillet's labels end with, skipped entries left out as a GROUP BY leaves them.
std::vector<std::string> LabelCounts(const std::string& output) {
  std::vector<std::string> counts;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const size_t comma = line.rfind(", ");
    if (comma != std::string::npos) counts.push_back(line.substr(comma + 2));
  }
  return counts;
}

bool Psql(const EndToEndOptions& options, int port, const std::string& database,
          const std::string& sql) {
  return RunProgram({"psql", "-h", options.postgres, "-p", std::to_string(port), "-U", "postgres",
                     "-d", database, "-v", "ON_ERROR_STOP=1", "-q", "-c", sql},
                    false)
      .ok;
}

// The layer in the database quillet, and sharded by hash of fid over the two other servers
// behind the database sharded; made once per size.
void PreparePostgres(const EndToEndOptions& options, const fs::path& gpkg, int64_t features) {
  const std::string count =
      RunProgram({"psql", "-h", options.postgres, "-p", "54329", "-U", "postgres", "-d", "sharded",
                  "-At", "-c", "SELECT count(*) FROM parcels"},
                 true)
          .output;
  if (count == std::to_string(features) + "\n") return;
  std::fprintf(stderr, "# loading %lld features into PostgreSQL\n",
               static_cast<long long>(features));
  RunProgram({"ogr2ogr", "-f", "PostgreSQL", "PG:" + Connection(options, "quillet"), gpkg.string(),
              "parcels", "-nln", "parcels", "-overwrite", "-lco", "LAUNDER=NO", "-lco",
              "SPATIAL_INDEX=NONE", "-lco", "GEOMETRY_NAME=geom", "--config", "PG_USE_COPY", "YES"},
             false);
  Psql(options, 54329, "quillet", "ANALYZE parcels");
  const std::string columns =
      "fid bigint, \"CLS\" text, \"POP\" integer, \"AREA\" double precision, \"BUILT\" date";
  for (const int port : {54330, 54331})
    Psql(options, port, "shard",
         "DROP TABLE IF EXISTS parcels; CREATE TABLE parcels (" + columns + ")");
  std::string sql = "DROP TABLE IF EXISTS parcels; CREATE TABLE parcels (" + columns +
                    ") PARTITION BY HASH (fid);";
  for (const int i : {0, 1})
    sql += "CREATE FOREIGN TABLE parcels_" + std::to_string(i) +
           " PARTITION OF parcels FOR VALUES WITH (MODULUS 2, REMAINDER " + std::to_string(i) +
           ") SERVER shard" + std::to_string(i) + " OPTIONS (table_name 'parcels');";
  sql += "INSERT INTO parcels SELECT * FROM dblink('" + Connection(options, "quillet") +
         "', 'SELECT fid, \"CLS\", \"POP\", \"AREA\", \"BUILT\" FROM parcels') AS p(" + columns +
         ");";
  Psql(options, 54329, "sharded", sql);
  for (const int port : {54330, 54331})
    Psql(options, port, "shard", "ANALYZE parcels");
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, seconds < 10 ? "%.2f s" : "%.1f s", seconds);
  return text;
}

}  // namespace

int RunEndToEnd(const EndToEndOptions& options) {
  std::printf(
      "\nAs a user runs it: `quillet labels` on a map document, process start to exit, against "
      "the one-pass GROUP BY by the format's own tool on the same file (sqlite3; for a "
      "shapefile `ogrinfo -dialect sqlite`), the two run in turn, %d times each; medians; peak "
      "memory: the quillet process's largest resident set.\n\n",
      options.runs);
  std::printf(
      "| workload | features | source | quillet labels | reference | ratio | peak memory |\n");
  std::printf("|---|---:|---|---:|---:|---:|---:|\n");
  int failures = 0;
  for (const int64_t features : options.sizes) {
    const fs::path gpkg =
        fs::path(options.data) / ("parcels-" + std::to_string(features) + "-v1.gpkg");
    // A folder of its own, so that the shapefile's layer is "parcels" too.
    const fs::path shapefile = fs::path(options.data) /
                               ("parcels-" + std::to_string(features) + "-v1-shp") / "parcels.shp";
    if (options.shapefiles && !fs::exists(shapefile)) {
      fs::create_directories(shapefile.parent_path());
      RunProgram({"ogr2ogr", "-f", "ESRI Shapefile", shapefile.string(), gpkg.string()}, false);
    }
    std::vector<Source> sources = {{"GeoPackage", gpkg, ""}};
    if (options.shapefiles) sources.push_back({"Shapefile", shapefile, ""});
    if (!options.postgres.empty()) {
      PreparePostgres(options, gpkg, features);
      sources.push_back({"PostgreSQL", gpkg, "quillet"});
      sources.push_back({"PostgreSQL, sharded over 2 servers", gpkg, "sharded"});
    }
    for (const Source& source : sources) {
      const std::string& format = source.format;
      const fs::path& data = source.file;
      for (const Workload& workload : Workloads()) {
        if (std::find(options.workloads.begin(), options.workloads.end(), workload.name) ==
            options.workloads.end())
          continue;
        const fs::path map = WriteMap(options, workload, source);
        const bool ogrinfo = format == "Shapefile";
        std::vector<std::string> reference = {"sqlite3", data.string(), workload.reference};
        if (ogrinfo)
          reference = {"ogrinfo",          "-ro",        "-q", "-dialect", "sqlite", "-sql",
                       workload.reference, data.string()};
        if (!source.database.empty())
          reference = {
              "psql",     "-h", options.postgres, "-p",  "54329", "-U",
              "postgres", "-d", source.database,  "-At", "-c",    PostgresSql(workload.reference)};
        const std::vector<std::string> labels = {options.quillet, "labels",      map.string(),
                                                 "--layer",       workload.name, "--expression",
                                                 kExpression};
        std::vector<double> ours, theirs, peaks;
        Run last, lastReference;
        RunProgram(labels, false);  // the file into the page cache, as for every later run
        for (int run = 0; run < options.runs; ++run) {
          last = RunProgram(labels, true);
          lastReference = RunProgram(reference, true);
          ours.push_back(last.seconds);
          theirs.push_back(lastReference.seconds);
          peaks.push_back(last.peakMiB);
        }
        std::vector<std::string> expected = ReferenceCounts(lastReference.output, ogrinfo);
        std::vector<std::string> got = LabelCounts(last.output);
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        if (!last.ok || got != expected) {
          std::fprintf(stderr, "%s on %s: the labels disagree with the reference\n",
                       workload.name.c_str(), format.c_str());
          ++failures;
          continue;
        }
        const double median = Median(ours);
        const double reference_ = Median(theirs);
        std::printf("| %s | %lld | %s | %s | %s | %.2f | %.0f MiB |\n", workload.name.c_str(),
                    static_cast<long long>(features), format.c_str(), Seconds(median).c_str(),
                    Seconds(reference_).c_str(), median / reference_, Median(peaks));
        std::fflush(stdout);
      }
    }
    // show reads the layers' fields and counts their features, no rows.
    std::vector<double> show, peaks;
    const fs::path map = WriteMap(options, Workloads().front(), {"GeoPackage", gpkg, ""});
    for (int run = 0; run < options.runs; ++run) {
      const Run ran = RunProgram({options.quillet, "show", map.string()}, false);
      show.push_back(ran.seconds);
      peaks.push_back(ran.peakMiB);
    }
    std::printf("| show | %lld | GeoPackage | %s | | | %.0f MiB |\n",
                static_cast<long long>(features), Seconds(Median(show)).c_str(), Median(peaks));
    std::fflush(stdout);
  }
  return failures;
}

}  // namespace quillet::bench
