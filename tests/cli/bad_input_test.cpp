#include <sys/stat.h>

#include <algorithm>

#include "cli_test_support.h"

namespace quillet::test {
namespace {

// Runs `set` on the map (with the expression [pop].Sum unless the options give one), plain and
// with --json, and expects exit status 2, the one line "quillet: " `says` on standard error (in
// the JSON object as its message), and the map's folder exactly as it was.
void ExpectRefused(const fs::path& map, Lines args, const std::string& says) {
  // A FIFO is not read: that would wait for a writer.
  const auto contents = [&] { return fs::is_regular_file(map) ? ReadText(map) : ""; };
  const std::string before = contents();
  const Lines listing = Listing(map.parent_path());
  if (std::find(args.begin(), args.end(), "--expression") == args.end())
    args.insert(args.end(), {"--expression", "[pop].Sum"});
  args.insert(args.begin(), {"set", map.string()});
  const Json printed = {
      {"ok", false}, {"message", says}, {"labels", Json::array()}, {"skippedLegendItems", false}};
  for (const bool json : {false, true}) {
    if (json) args.push_back("--json");
    SCOPED_TRACE(::testing::PrintToString(args));
    const Ran run = Quillet(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.ErrLines(), Lines{"quillet: " + says});
    EXPECT_EQ(run.out, json ? printed.dump(2) + "\n" : "");
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(Listing(map.parent_path()), listing);
  }
}

// One case for each stage that can meet input it cannot use: the options, the output's kind,
// loading the layer's data, reading the map. The document's other messages are checked where
// they are made, in tests/document, and a save that fails in tests/map.
TEST(BadInput, OneLineExitTwoAndTheMapUnchanged) {
  ExampleCopy copy;
  const fs::path map = copy.Map();
  const fs::path folder = map.parent_path();
  ExpectRefused(map, {"--layer", "Countries", "--locale", "xx-YY"},
                "--locale xx-YY: Unknown locale: xx-YY");
  ExpectRefused(map, {"--layer", "Countries", "--expression", "$$LABEL caf\xE9"},
                "--expression: byte 0xE9 at position 12 is not valid UTF-8; quillet reads "
                "expressions as UTF-8 text");
  ExpectRefused(map, {"--layer", "Countries", "--output", (folder / "out.qgs").string()},
                (folder / "out.qgs").string() + ": " + map.string() +
                    " is a map document, which is written to a file of its kind, not to a QGIS "
                    "project (.qgs)");
  // Mistakes in the map itself, each made alone, found when the layer is opened (the
  // database's reason for a definition) and its renderer's fields are checked.
  const struct {
    std::string from, to, layer, says;
  } mistakes[] = {
      {"\"pop > 1000000\"", "\"continent ILIKE 'a%'\"", "Countries by continent",
       "/layers/1/definitionExpression (layer \"Countries by continent\"): SQLite cannot run it: "
       "near \"ILIKE\": syntax error"},
      {"\"continent\"\n", "\"contnent\"\n", "Countries by continent",
       "/layers/1/renderer/fields/0 (layer \"Countries by continent\"): the layer's table has no "
       "field contnent (nearest: continent)"},
      {"\"field\": \"pop\"", "\"field\": \"name_long\"", "Population",
       "/layers/2/renderer/field (layer \"Population\"): the field name_long is not numeric; "
       "class breaks need a numeric field"},
  };
  const std::string text = ReadText(map);
  for (const auto& mistake : mistakes) {
    std::string changed = text;
    WriteText(map, changed.replace(changed.find(mistake.from), mistake.from.size(), mistake.to));
    ExpectRefused(map, {"--layer", mistake.layer}, map.string() + ": " + mistake.says);
  }
  const fs::path data = folder / "members.csv";
  WriteText(data, "iso,member\nAR,1\n");
  ExpectRefused(data, {"--layer", "Countries"},
                data.string() +
                    ": not a map: quillet opens map documents (JSON), QGIS projects (.qgs, "
                    ".qgz) and QGIS layer styles (.qml); data files are named by a map's source");
  // Nesting that would exhaust the stack of every reader and writer of JSON.
  const std::string prefix = R"({"quillet": 1, "layers": [], "deep": )";
  WriteText(map, prefix + std::string(100000, '[') + std::string(100000, ']') + "}");
  ExpectRefused(map, {"--layer", "Countries"},
                map.string() + ":1:" + std::to_string(prefix.size() + 1000) +
                    ": arrays and objects nest deeper than 1000 levels, which no map document "
                    "needs");
  // A project that inflates to more than any project is, refused before inflating it.
  const fs::path bomb = folder / "bomb.qgz";
  const Ran zipped =
      RunProgram({"python3", "-c",
                  "import sys, zipfile\n"
                  "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                  "  with z.open('bomb.qgs', 'w') as member:\n"
                  "    for _ in range(257): member.write(bytes(1 << 20))\n",
                  bomb.string()});
  ASSERT_EQ(zipped.status, 0) << zipped.err;
  ExpectRefused(bomb, {"--layer", "Countries"},
                bomb.string() +
                    ": bomb.qgs: the member inflates to 269484032 bytes; quillet reads project "
                    "members of at most 256 MiB");
  // A FIFO would block the reader for good.
  const fs::path fifo = folder / "map";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ExpectRefused(fifo, {"--layer", "Countries"},
                fifo.string() + ": cannot read the map document: it is a FIFO, not a regular file");
}

TEST(BadUsage, ExitsWithTwoAndOneLine) {
  using ::testing::MatchesRegex;
  ExampleCopy copy;
  const std::string map = copy.Map().string();
  const auto wrap = [&](const char* length) {
    return Lines{"labels", map, "--layer", "Countries", "--expression", "x", "--wrap", length};
  };
  const std::pair<Lines, std::string> usages[] = {
      {{}, ""},  // the option library's words where nothing is ours to say
      {{"frobnicate", map},
       "unknown command frobnicate; the commands are init, labels, verify, set, reset and show"},
      {{"labels", map, "--layer", "Countries"}, "--expression is required"},
      {{"reset", map, "--layer", "Countries", "--expression", "x"}, ""},
      {wrap("32768"), "--wrap: 32768 is out of range (-32768 to 32767)"},
      {wrap("-32769"), "--wrap: -32769 is out of range (-32768 to 32767)"},
      {wrap("many"),
       "--wrap: many is not a number (a whole number of characters, -32768 to 32767)"},
  };
  for (const auto& [usage, says] : usages) {
    SCOPED_TRACE(::testing::PrintToString(usage));
    const Ran run = Quillet(usage);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    if (says.empty())
      EXPECT_THAT(run.err, MatchesRegex("quillet: [^\n]+ \\(quillet --help shows the usage\\)\n"));
    else
      EXPECT_EQ(run.err, "quillet: " + says + " (quillet --help shows the usage)\n");
  }
}

}  // namespace
}  // namespace quillet::test
