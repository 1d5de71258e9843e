#include "cli/commands.h"

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/capturing_sink.h"
#include "cli/progress.h"
#include "cli/show_report.h"
#include "core/markers.h"
#include "document/map_document.h"
#include "host/open_map.h"
#include "map/atomic_file.h"
#include "map/legend_entry.h"
#include "map/write_lock.h"
#include "quillet/error.h"
#include "quillet/locale.h"
#include "quillet/map_file.h"
#include "quillet/quillet.h"
#include "runtime/nearest_names.h"
#include "runtime/utf8.h"

namespace quillet::cli {
namespace {

using runtime::kComFalse;
using runtime::kComTrue;

constexpr const char* kValidExpression = "Valid Expression";
constexpr const char* kNoPlaceForLabels =
    "The legend of this layer shows no labels (a single symbol); the file is unchanged";

// The text made valid UTF-8, counting in `changed` when it was not: labels computed from data in
// another encoding show as they are written into the map.
std::string Shown(const std::string& text, int& changed) {
  if (runtime::InvalidUtf8(text) == std::string::npos) return text;
  ++changed;
  return runtime::ValidUtf8(text);
}

// An expression that is not UTF-8 would make labels that are not either.
void CheckExpression(const std::string& expression) {
  const size_t bad = runtime::InvalidUtf8(expression);
  if (bad == std::string::npos) return;
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(expression[bad]));
  throw runtime::Error::Platform("--expression: byte " + std::string(byte) + " at position " +
                                 std::to_string(bad + 1) +
                                 " is not valid UTF-8; quillet reads expressions as UTF-8 text");
}

// The legend's entries in the order the file shows them, with the labels (in the component's
// order) that go with them; none when the labels do not fit the legend.
std::optional<nlohmann::ordered_json> Entries(const MapFile& map, const std::string& layer,
                                              const std::vector<std::string>& labels) {
  const auto legend = map.Legend(layer);
  if (labels.size() != legend.size() || labels.empty()) return std::nullopt;
  auto entries = nlohmann::ordered_json::array();
  for (const auto& entry : legend) {
    nlohmann::ordered_json item;
    item["stands"] = entry.stands;
    if (entry.value) item["value"] = *entry.value;
    if (entry.allOtherValues) item["value"] = nullptr;
    if (entry.range) {
      item["lower"] = entry.range->first;
      item["upper"] = entry.range->second;
    }
    const std::string& label = labels[entry.labelIndex];
    item["label"] = label;
    item["skipped"] = label == kSkippedMarker;
    entries.push_back(std::move(item));
  }
  return entries;
}

// One layer of the map with its data, and a `Quillet` set up as the options ask.
struct Session {
  Session(const CommandOptions& options, const runtime::Locale& locale, std::ostream& err,
          MapFile::Access access = MapFile::Access::kRead)
      : map(MapFile::Open(options.map, options.source, access)),
        name(map->FindLayer(options.layer)),
        sink(std::make_shared<CapturingMessageSink>(options.messages ? &err : nullptr)),
        labeler(map->Platform(), sink) {
    TerminalProgress progress(name);
    layer = map->OpenLayer(
        name, [&](int64_t done, int64_t total) { progress.Report(done, total); },
        options.expression);
    labeler.SetLocale(locale);
    if (options.messages) labeler.ShowMessages(kComTrue);
    if (options.noDefinitionQuery) labeler.ApplyDefinitionQuery(kComFalse);
    if (options.noAllOtherValues) labeler.UpdateAllOtherValues(kComFalse);
    if (options.wrap) labeler.WrapTextIfLongerThan(*options.wrap);
  }

  const gis::FeatureRenderer& Renderer() const {
    return *gis::Require<gis::GeoFeatureLayer>(layer)->Renderer();
  }

  std::unique_ptr<MapFile> map;
  std::string name;
  LayerPtr layer;
  std::shared_ptr<CapturingMessageSink> sink;
  Quillet labeler;
};

// For the component's "Field "X" does not exist in attribute table!": the layer, and the
// fields of its table spelt most like X (or all of them), so that the user sees what to write.
std::optional<std::string> MissingFieldCause(const Session& session, const std::string& message) {
  const std::string start = "Field \"";
  const std::string end = "\" does not exist in attribute table!";
  if (message.rfind(start, 0) != 0 || message.size() < start.size() + end.size() ||
      message.compare(message.size() - end.size(), end.size(), end) != 0)
    return std::nullopt;
  const std::string field =
      message.substr(start.size(), message.size() - start.size() - end.size());
  const auto table = gis::Require<gis::DisplayTable>(session.layer)->DisplayedTable();
  std::vector<std::string> names;
  const auto fields = table->Fields();
  for (int32_t i = 0; i < fields->FieldCount(); ++i)
    names.push_back(fields->Field(i)->Name());
  return "layer \"" + session.name + "\" has no field " + field + " (" +
         runtime::FieldsNear(field, names) + ")";
}

Outcome Result(Session& session, bool ok) {
  Outcome outcome;
  outcome.ok = ok;
  outcome.message = session.labeler.Message();
  // Held: after a failed run the object hands out a collection of its own, which would
  // otherwise go before the loop reads it.
  const auto labels = session.labeler.Labels();
  for (const std::string& label : *labels)
    outcome.labels.push_back(Shown(label, outcome.labelsMadeValid));
  if (ok) outcome.entries = Entries(*session.map, session.name, outcome.labels);
  if (!ok && !session.labeler.Cause().empty()) outcome.cause = session.labeler.Cause();
  if (!ok && !outcome.cause) outcome.cause = MissingFieldCause(session, outcome.message);
  outcome.skippedLegendItems = session.labeler.SkippedLegendItems() != 0;
  return outcome;
}

Outcome Labels(const CommandOptions& options, const runtime::Locale& locale, std::ostream& err) {
  Session session(options, locale, err);
  std::string expression = options.expression;
  return Result(session, session.labeler.MakeLabels(session.layer, expression) != 0);
}

// The instructions are the text of the "Valid Expression" box: the sample label, then how the
// label is put together.
std::optional<std::string> InstructionsBox(const CapturingMessageSink& sink) {
  for (auto box = sink.Boxes().rbegin(); box != sink.Boxes().rend(); ++box)
    if (box->title == kValidExpression) return box->text;
  return std::nullopt;
}

Outcome Verify(const CommandOptions& options, const runtime::Locale& locale, std::ostream& err) {
  Session session(options, locale, err);
  // The box is the only way the component hands out its sample and instructions, so it is
  // always shown to the sink, which passes it on only with --messages.
  if (options.sample) session.labeler.ShowMessages(kComTrue);
  std::string expression = options.expression;
  const bool ok = session.labeler.VerifyExpression(
                      session.layer, expression, options.sample ? kComTrue : kComFalse,
                      options.instructions ? kComTrue : kComFalse) != 0;
  Outcome outcome = Result(session, ok);
  if (ok && options.sample) {
    outcome.sampleLabel = Shown(session.labeler.SampleLabel(), outcome.labelsMadeValid);
    // The instructions hold the sample, counted already.
    if (options.instructions)
      if (const auto box = InstructionsBox(*session.sink))
        outcome.instructions = runtime::ValidUtf8(*box);
  }
  return outcome;
}

Outcome Set(const CommandOptions& options, const runtime::Locale& locale, std::ostream& err) {
  // Refused before any work: a file of another kind, or one that is the map itself.
  if (!options.output.empty()) host::CheckSameKind(options.map, options.output);
  // Written to another file, the map is only read.
  Session session(options, locale, err,
                  options.output.empty() ? MapFile::Access::kWrite : MapFile::Access::kRead);
  // From the labels before the first set, so that setting again does not build on its own
  // labels.
  if (!options.fromCurrent) session.map->UseOriginalLabels(session.name, session.layer);
  std::string expression = options.expression;
  if (session.labeler.MakeLabels(session.layer, expression) == 0) return Result(session, false);
  if (session.labeler.SetLabels(session.layer) == 0) return Result(session, false);
  Outcome outcome = Result(session, true);
  if (!session.map->KeepsLabels(session.name)) {
    outcome.message = kNoPlaceForLabels;
    outcome.unchanged = true;
    return outcome;
  }
  session.map->StoreLabels(session.name, *session.layer, *session.labeler.OriginalLabels());
  if (options.output.empty())
    session.map->Save();
  else
    session.map->SaveAs(options.output);
  outcome.originalLabels = session.map->OriginalLabels(session.name);
  return outcome;
}

Outcome Reset(const CommandOptions& options, const runtime::Locale& locale, std::ostream& err) {
  Session session(options, locale, err, MapFile::Access::kWrite);
  if (!session.map->KeepsLabels(session.name)) {
    // A single symbol has no label to put back; a kind the component does not label is
    // refused in its words, as set refuses it.
    std::string expression = "$$LABEL";
    if (session.labeler.MakeLabels(session.layer, expression) == 0) return Result(session, false);
    Outcome outcome;
    outcome.ok = true;
    outcome.message = kNoPlaceForLabels;
    outcome.unchanged = true;
    return outcome;
  }
  Quillet& labeler = session.labeler;
  const auto originals = session.map->OriginalLabels(session.name);
  if (!session.map->RecallOriginalLabels(session.name, session.layer, labeler))
    return Result(session, false);
  if (labeler.ResetLabels(session.layer) == 0) {
    Outcome outcome = Result(session, false);
    if (!originals)
      outcome.cause = "the map stores no originalLabels for layer \"" + session.name +
                      "\": labels are reset after a quillet set";
    return outcome;
  }
  const std::string before = session.map->Contents();
  session.map->StoreLabels(session.name, *session.layer, *labeler.OriginalLabels());
  if (session.map->Contents() != before) session.map->Save();

  Outcome outcome;
  outcome.ok = true;
  outcome.message = originals ? "Restored the labels that stood before the first set" : "";
  outcome.labels = map::RendererLabels(session.Renderer());
  outcome.entries = Entries(*session.map, session.name, outcome.labels);
  outcome.originalLabels = originals;
  return outcome;
}

Outcome Init(const CommandOptions& options) {
  // Adding to a map reads it, changes it and saves it, as set does.
  std::optional<map::WriteLock> lock;
  if (!options.output.empty()) lock.emplace(options.output);
  const std::string text = MapDocumentWithLayer(options.init, options.output);
  Outcome outcome;
  outcome.ok = true;
  // The new layer is the document's last; its legend is what the labels start as.
  const auto document =
      document::MapDocument::Parse(text, options.output.empty() ? "init.json" : options.output);
  const std::string layer = document.Layers().back().name;
  for (const auto& entry : document.Legend(document.Layers().size() - 1))
    outcome.labels.push_back(entry.label);
  if (options.output.empty()) {
    outcome.document = text;
  } else {
    map::ReplaceFileAtomically(options.output, text);
    outcome.message = "Wrote layer \"" + layer + "\" with " +
                      std::to_string(outcome.labels.size()) + " legend entries into " +
                      options.output;
  }
  return outcome;
}

}  // namespace

Outcome RunCommand(const CommandOptions& options, std::ostream& err) {
  CheckExpression(options.expression);
  runtime::Locale locale = runtime::Locale::EnUs();
  if (!options.locale.empty()) {
    try {
      locale = runtime::Locale::FromName(options.locale);
    } catch (const runtime::Error& error) {
      throw runtime::Error(error.Number(),
                           "--locale " + options.locale + ": " + error.Description());
    }
  }
  if (options.command == "init") return Init(options);
  if (options.command == "labels") return Labels(options, locale, err);
  if (options.command == "verify") return Verify(options, locale, err);
  if (options.command == "set") return Set(options, locale, err);
  if (options.command == "reset") return Reset(options, locale, err);
  return Show(*host::OpenMap(options.map, options.source), options.layer);
}

}  // namespace quillet::cli
