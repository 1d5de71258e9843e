// quillet-bench: full label runs on synthetic layers of 1,000,000 and 5,000,000 features, each
// timed against the one-pass SQLite answer to the same question. See README, "Performance".
//
//   quillet-bench [--sizes 1000000,5000000] [--runs 5] [--workloads W1,W2,W3] [--data DIR]
//
// Each size runs in a process of its own (this program once more, with --child), so that the
// peak memory of one size is not the other's.

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "end_to_end.h"
#include "platform/builders/renderer_builders.h"
#include "platform/layers/dataset_name.h"
#include "platform/layers/feature_layer.h"
#include "platform/layers/object_factory.h"
#include "platform/sources/sqlite_source.h"
#include "platform/store/feature_store.h"
#include "quillet/message_sink.h"
#include "quillet/quillet.h"
#include "synthetic_layer.h"

namespace {

using namespace quillet;
using Clock = std::chrono::steady_clock;

constexpr const char* kExpression =
    "$$LABEL: [POP].Sum.FormatNumber(0) people, [AREA].Average.Round(1) km2, [POP].Count";
constexpr const char* kHalfOfTheFeatures = "BUILT >= '1960-01-01'";

struct Options {
  std::vector<int64_t> sizes{1000000, 5000000};
  int runs = 5;
  std::vector<std::string> workloads{"W1", "W2", "W3"};
  std::string data = QUILLET_BENCH_DATA_DIR;
  bool child = false;
  std::vector<std::string> tables{"label", "e2e"};
  std::string postgres;
};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, ',');)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--child") {
      options.child = true;
    } else if (arg == "--sizes" && hasValue) {
      options.sizes.clear();
      for (const auto& size : Split(argv[++i]))
        options.sizes.push_back(std::stoll(size));
    } else if (arg == "--runs" && hasValue) {
      options.runs = std::max(1, std::stoi(argv[++i]));
    } else if (arg == "--workloads" && hasValue) {
      options.workloads = Split(argv[++i]);
    } else if (arg == "--data" && hasValue) {
      options.data = argv[++i];
    } else if (arg == "--tables" && hasValue) {
      options.tables = Split(argv[++i]);
    } else if (arg == "--postgres" && hasValue) {
      options.postgres = argv[++i];
    } else {
      std::cerr << "usage: quillet-bench [--sizes N,...] [--runs R] [--workloads W1,W2,W3]"
                   " [--data DIR] [--tables label,e2e] [--postgres SOCKET_FOLDER]\n";
      std::exit(2);
    }
  }
  return options;
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The process's peak resident memory in MiB since the last ResetPeakMemory.
double PeakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  return 0;
}

void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// ---- The one-pass reference ----------------------------------------------------------------

struct ClassTotals {
  int64_t count = 0;
  int64_t popSum = 0;
};

// Runs `sql` (rows: class key, COUNT, SUM(POP), AVG(AREA)) on the store's own connection.
std::map<std::string, ClassTotals> RunReference(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string("reference query: ") + sqlite3_errmsg(db));
  std::map<std::string, ClassTotals> totals;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    const auto* key = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    totals[key ? key : ""] = {sqlite3_column_int64(statement, 1),
                              sqlite3_column_int64(statement, 2)};
  }
  sqlite3_finalize(statement);
  return totals;
}

// ---- Workloads -------------------------------------------------------------------------------

struct Workload {
  std::string name;
  std::string description;
  std::function<void(platform::FeatureLayer&)> configure;
  std::string reference;  // the one-pass query; "%s" stands for "NOT INDEXED" or nothing
  std::vector<std::string> classKeys;  // reference key of each legend class, in class order
};

std::vector<Workload> Workloads() {
  using bench::SyntheticLayer;
  const auto values = SyntheticLayer::ClassValues();
  auto uniqueValues = [values] {
    auto builder = platform::UniqueValue("CLS");
    for (const auto& value : values)
      builder.Class({value}, value);
    return builder.Build();
  };
  const std::string groupByClass =
      "SELECT CLS, COUNT(*), SUM(POP), AVG(AREA) FROM source1.parcels %s";
  std::vector<std::string> breakKeys;
  for (size_t i = 0; i < SyntheticLayer::PopBreaks().size(); ++i)
    breakKeys.push_back(std::to_string(i));

  return {
      {"W1", "unique value, 50 classes",
       [uniqueValues](platform::FeatureLayer& layer) {
         layer.SetRenderer(uniqueValues());
         layer.SetDefinitionExpression("");
       },
       groupByClass + " GROUP BY CLS", values},
      {"W2", "class breaks, 10 classes on POP",
       [](platform::FeatureLayer& layer) {
         auto builder = platform::ClassBreaks("POP").Minimum(0);
         for (double upper : SyntheticLayer::PopBreaks()) {
           char label[32];
           std::snprintf(label, sizeof label, "up to %.0f", upper);
           builder.Break(upper, label);
         }
         layer.SetRenderer(builder.Build());
         layer.SetDefinitionExpression("");
       },
       "SELECT " + bench::SyntheticLayer::PopClassSql() +
           " AS k, COUNT(*), SUM(POP), AVG(AREA) FROM source1.parcels %s" +
           " WHERE POP <= 100000 GROUP BY k",
       breakKeys},
      {"W3", "W1 with a definition selecting about half",
       [uniqueValues](platform::FeatureLayer& layer) {
         layer.SetRenderer(uniqueValues());
         layer.SetDefinitionExpression(kHalfOfTheFeatures);
       },
       groupByClass + " WHERE (" + kHalfOfTheFeatures + ") GROUP BY CLS", values},
  };
}

std::string WithIndexing(const std::string& reference, const char* indexing) {
  std::string sql = reference;
  sql.replace(sql.find("%s"), 2, indexing);
  return sql;
}

// Each label ends "<sum> people, <average> km2, <count>": both whole numbers must be the
// reference's. Returns "" when every class agrees, else what differs.
std::string CheckLabels(const LabelCollection& labels, const Workload& workload,
                        const std::map<std::string, ClassTotals>& totals) {
  if (labels.Count() != static_cast<int32_t>(workload.classKeys.size()))
    return "label count " + std::to_string(labels.Count());
  for (int32_t i = 1; i <= labels.Count(); ++i) {
    const std::string label = labels.Item(i);
    const std::string& key = workload.classKeys[static_cast<size_t>(i - 1)];
    const auto found = totals.find(key);
    const ClassTotals expected = found == totals.end() ? ClassTotals{} : found->second;
    if (expected.count == 0) {
      if (label != "$$SKIPPED") return key + ": " + label;
      continue;
    }
    const size_t colon = label.find(": ");
    const size_t people = label.find(" people");
    const size_t comma = label.rfind(", ");
    if (colon == std::string::npos || people == std::string::npos || comma == std::string::npos)
      return key + ": " + label;
    std::string sum = label.substr(colon + 2, people - colon - 2);
    sum.erase(std::remove(sum.begin(), sum.end(), ','), sum.end());
    if (std::stoll(sum) != expected.popSum || std::stoll(label.substr(comma + 2)) != expected.count)
      return key + ": " + label + " (reference: sum " + std::to_string(expected.popSum) +
             ", count " + std::to_string(expected.count) + ")";
  }
  return "";
}

// ---- One size, in this process ---------------------------------------------------------------

std::string FormatSeconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, seconds < 10 ? "%.3f s" : "%.1f s", seconds);
  return text;
}

int RunSize(const Options& options, int64_t features) {
  const std::string path = bench::WriteSyntheticGeoPackageOnce(options.data, features);

  ResetPeakMemory();
  platform::FeatureStore store;
  auto start = Clock::now();
  const auto table = platform::OpenSqliteTable(store, path, bench::SyntheticLayer::kTable);
  if (!table) throw std::runtime_error(path + " cannot be read in place");
  const auto layer = std::make_shared<platform::FeatureLayer>(
      table->layerName, table->table,
      std::make_shared<platform::DatasetName>(table->layerName, table->category),
      platform::Simple().Build());
  const double load = Seconds(start);
  std::printf("| open the GeoPackage in place | %lld | | | %s | | | | %.0f MiB |\n",
              static_cast<long long>(features), FormatSeconds(load).c_str(), PeakMemoryMiB());
  std::fflush(stdout);

  auto factory = std::make_shared<platform::ObjectFactory>();
  Quillet labeler(factory, std::make_shared<runtime::StreamMessageSink>(std::cerr));
  labeler.ShowMessages(0);
  sqlite3* db = store.Connection()->Handle();

  for (const Workload& workload : Workloads()) {
    if (std::find(options.workloads.begin(), options.workloads.end(), workload.name) ==
        options.workloads.end())
      continue;
    workload.configure(*layer);
    ResetPeakMemory();

    // The first run pays for the indexes it makes; later runs start from rows no search has
    // kept yet (cold), and then from the rows the run before them kept (warm).
    std::vector<double> cold;
    std::vector<double> warm;
    for (int run = 0; run < 2 * options.runs + 1; ++run) {
      const bool isWarm = run > options.runs;
      if (!isWarm) layer->Table()->RecentSearches().Clear();
      std::string expression = kExpression;
      start = Clock::now();
      const bool made = labeler.MakeLabels(layer, expression) != 0;
      (isWarm ? warm : cold).push_back(Seconds(start));
      if (!made) {
        std::fprintf(stderr, "%s: MakeLabels failed: %s\n", workload.name.c_str(),
                     labeler.Message().c_str());
        return 1;
      }
    }
    const double first = cold.front();
    cold.erase(cold.begin());
    const double peak = PeakMemoryMiB();

    std::map<std::string, ClassTotals> totals;
    std::vector<double> plain;
    std::vector<double> notIndexed;
    for (int run = 0; run < options.runs; ++run) {
      start = Clock::now();
      totals = RunReference(db, WithIndexing(workload.reference, ""));
      plain.push_back(Seconds(start));
      start = Clock::now();
      RunReference(db, WithIndexing(workload.reference, "NOT INDEXED"));
      notIndexed.push_back(Seconds(start));
    }
    // The reference is the faster of SQLite's own plan and a plain scan.
    const double reference = std::min(Median(plain), Median(notIndexed));
    const std::string differs = CheckLabels(*labeler.Labels(), workload, totals);
    if (!differs.empty()) {
      std::fprintf(stderr, "%s: the labels disagree with the reference: %s\n",
                   workload.name.c_str(), differs.c_str());
      return 1;
    }
    const double label = Median(cold);
    std::printf("| %s %s | %lld | %d | %s | %s | %s | %s | %.2f | %.0f MiB |\n",
                workload.name.c_str(), workload.description.c_str(),
                static_cast<long long>(features), static_cast<int>(workload.classKeys.size()),
                FormatSeconds(first).c_str(), FormatSeconds(label).c_str(),
                FormatSeconds(Median(warm)).c_str(), FormatSeconds(reference).c_str(),
                label / reference, peak);
    std::fflush(stdout);
  }
  return 0;
}

// ---- The driver ------------------------------------------------------------------------------

int RunChild(const Options& options, int64_t features) {
  std::vector<std::string> args{"/proc/self/exe", "--child",
                                "--sizes",        std::to_string(features),
                                "--runs",         std::to_string(options.runs),
                                "--data",         options.data};
  std::string workloads;
  for (const auto& name : options.workloads)
    workloads += (workloads.empty() ? "" : ",") + name;
  args.insert(args.end(), {"--workloads", workloads});
  std::vector<char*> argv;
  for (auto& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[0], argv.data());
    std::perror("execv");
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  try {
    if (options.child) return RunSize(options, options.sizes.front());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillet-bench: %s\n", error.what());
    return 1;
  }
  const auto wants = [&](const char* table) {
    return std::find(options.tables.begin(), options.tables.end(), table) != options.tables.end();
  };
  int failures = 0;
  if (wants("label")) {
    std::printf(
        "The label run itself: MakeLabels in one process on the layer opened in place. first: "
        "the first run after opening. cold: median of %d runs, each starting with no rows kept "
        "from earlier searches. warm: median of %d runs right after another. reference: the "
        "one-pass SQLite GROUP BY on the same connection, median of %d. ratio: cold / "
        "reference. peak memory: VmHWM during the workload's runs, one process per size.\n\n",
        options.runs, options.runs, options.runs);
    std::printf(
        "| workload | features | classes | first | cold | warm | reference | ratio | peak "
        "memory |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const int64_t size : options.sizes)
      failures += RunChild(options, size) != 0;
  }
  if (wants("e2e")) {
    for (const int64_t size : options.sizes)
      bench::WriteSyntheticGeoPackageOnce(options.data, size);
    failures += bench::RunEndToEnd({options.sizes, options.runs, options.workloads, options.data,
                                    QUILLET_BINARY, true, options.postgres});
  }
  return failures ? 1 : 0;
}
