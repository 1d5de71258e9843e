#include "document/renderer_document.h"

#include <cmath>
#include <cstdint>

#include "platform/renderers/bivariate_renderer.h"
#include "platform/renderers/class_breaks_renderer.h"
#include "platform/renderers/foreign_renderer.h"
#include "platform/renderers/simple_renderer.h"
#include "platform/renderers/unique_value_renderer.h"
#include "platform/store/sql_text.h"
#include "quillet/error.h"
#include "runtime/case.h"

namespace quillet::document {
namespace {

std::string KindList() {
  std::string list;
  for (const char* kind : kRendererKinds)
    list += (list.empty() ? "" : ", ") + std::string(kind);
  return list;
}

std::string Kind(const JsonReader& reader, const Json& renderer, const std::string& where) {
  reader.Object(renderer, where);
  const std::string kind = reader.RequiredString(renderer, where, "kind");
  for (const char* known : kRendererKinds)
    if (kind == known) return kind;
  throw reader.Error(Pointer(where, "kind"),
                     "unknown renderer kind \"" + kind + "\" (kinds: " + KindList() + ")");
}

std::string OptionalLabel(const JsonReader& reader, const Json& object, const std::string& where) {
  return reader.OptionalString(object, where, "label").value_or("");
}

std::shared_ptr<gis::FeatureRenderer> ReadUniqueValue(const JsonReader& reader,
                                                      const Json& renderer,
                                                      const std::string& where) {
  const std::string fieldsAt = Pointer(where, "fields");
  const std::vector<std::string> fields =
      reader.Strings(reader.Required(renderer, where, "fields"), fieldsAt);
  if (fields.empty()) throw reader.Error(fieldsAt, "a unique value renderer needs a field");
  auto result = std::make_shared<platform::UniqueValueRenderer>(
      fields, reader.OptionalString(renderer, where, "fieldDelimiter").value_or(", "));

  const std::string classesAt = Pointer(where, "classes");
  const Json* classes = reader.Optional(renderer, "classes");
  std::vector<std::pair<std::string, std::string>> listed;  // each value, and where
  for (size_t i = 0; classes && i < reader.Array(*classes, classesAt).size(); ++i) {
    const std::string classAt = Pointer(classesAt, i);
    const Json& legendClass = reader.Object((*classes)[i], classAt);
    const std::string valuesAt = Pointer(classAt, "values");
    const Json& values = reader.Array(reader.Required(legendClass, classAt, "values"), valuesAt);
    if (values.empty()) throw reader.Error(valuesAt, "a class needs at least one value");
    std::vector<std::string> texts;
    for (size_t v = 0; v < values.size(); ++v) {
      const std::string valueAt = Pointer(valuesAt, v);
      texts.push_back(reader.Text(values[v], valueAt));
      // The component keys its classes by value without regard to case, so two such values
      // would fail every label run.
      for (const auto& [earlier, earlierAt] : listed)
        if (earlier != texts.back() && runtime::EqualsIgnoreCase(earlier, texts.back()))
          throw reader.Error(valueAt, "the values \"" + texts.back() + "\" and \"" + earlier +
                                          "\" (" + earlierAt +
                                          ") differ only in letter case, which the labels "
                                          "cannot tell apart; keep one of them");
      listed.emplace_back(texts.back(), valueAt);
    }
    const std::string label = OptionalLabel(reader, legendClass, classAt);
    try {
      result->AddClass(texts, label);
    } catch (const runtime::Error& error) {
      throw reader.Error(valuesAt, error.Description());
    }
  }
  if (const Json* fallback = reader.Optional(renderer, "default")) {
    const std::string defaultAt = Pointer(where, "default");
    result->UseDefault(OptionalLabel(reader, reader.Object(*fallback, defaultAt), defaultAt));
  }
  return result;
}

std::shared_ptr<gis::FeatureRenderer> ReadClassBreaks(const JsonReader& reader,
                                                      const Json& renderer,
                                                      const std::string& where) {
  const Json* minimum = reader.Optional(renderer, "minimumBreak");
  auto result = std::make_shared<platform::ClassBreaksRenderer>(
      reader.RequiredString(renderer, where, "field"),
      minimum ? reader.Number(*minimum, Pointer(where, "minimumBreak")) : 0.0);
  const std::string classesAt = Pointer(where, "classes");
  const Json* classes = reader.Optional(renderer, "classes");
  double previous = 0;
  for (size_t i = 0; classes && i < reader.Array(*classes, classesAt).size(); ++i) {
    const std::string classAt = Pointer(classesAt, i);
    const Json& legendClass = reader.Object((*classes)[i], classAt);
    const std::string breakAt = Pointer(classAt, "break");
    const double upper = reader.Number(reader.Required(legendClass, classAt, "break"), breakAt);
    // A class takes the values above the break before it, so a break out of order would put
    // every feature into one class.
    if (i > 0 && !(upper > previous))
      throw reader.Error(breakAt, "the break " + platform::NumberLiteral(upper) +
                                      " is not above the break before it, " +
                                      platform::NumberLiteral(previous) +
                                      "; breaks ascend from the lowest class up");
    previous = upper;
    result->AddBreak(upper, OptionalLabel(reader, legendClass, classAt));
  }
  return result;
}

const Json* Classes(const Json& renderer) {
  const auto found = renderer.find("classes");
  return found == renderer.end() || !found->is_array() ? nullptr : &*found;
}

bool HasDefault(const Json& renderer) {
  const auto found = renderer.find("default");
  return found != renderer.end() && found->is_object();
}

std::string ValueText(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_float()) return platform::NumberLiteral(value.get<double>());
  return value.dump();
}

std::string LabelOf(const Json& object) {
  const auto found = object.find("label");
  return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}

void SetLabel(Json& object, const std::string& label) {
  object["label"] = label;
}

}  // namespace

std::shared_ptr<gis::FeatureRenderer> ReadRenderer(const JsonReader& reader, const Json& renderer,
                                                   const std::string& where) {
  const std::string kind = Kind(reader, renderer, where);
  if (kind == "simple")
    return std::make_shared<platform::SimpleRenderer>(OptionalLabel(reader, renderer, where));
  if (kind == "uniqueValue") return ReadUniqueValue(reader, renderer, where);
  if (kind == "classBreaks") return ReadClassBreaks(reader, renderer, where);
  if (kind == "proportionalSymbol") {
    reader.RequiredString(renderer, where, "field");
    return std::make_shared<platform::ForeignRenderer>(kind);
  }

  const std::string mainAt = Pointer(where, "main");
  const Json& main = reader.Required(renderer, where, "main");
  const std::string mainKind = Kind(reader, main, mainAt);
  if (mainKind != "uniqueValue" && mainKind != "classBreaks")
    throw reader.Error(Pointer(mainAt, "kind"),
                       "the main renderer of a bivariate renderer is uniqueValue or "
                       "classBreaks, not " +
                           mainKind);
  const std::string secondAt = Pointer(where, "second");
  return std::make_shared<platform::BivariateRenderer>(
      ReadRenderer(reader, main, mainAt),
      ReadRenderer(reader, reader.Required(renderer, where, "second"), secondAt));
}

std::vector<map::LegendEntry> LegendEntries(const Json& renderer) {
  const std::string kind = renderer.value("kind", "");
  std::vector<map::LegendEntry> entries;
  if (kind == "simple") {
    entries.push_back({"all features", LabelOf(renderer)});
  } else if (kind == "uniqueValue") {
    for (const Json& legendClass : Classes(renderer) ? *Classes(renderer) : Json::array()) {
      std::string values;
      for (const Json& value : legendClass.at("values"))
        values += (values.empty() ? "" : "; ") + ValueText(value);
      entries.push_back({values, LabelOf(legendClass)});
    }
    if (HasDefault(renderer)) entries.push_back({"all other values", LabelOf(renderer["default"])});
  } else if (kind == "classBreaks") {
    const auto minimum = renderer.find("minimumBreak");
    double lower = minimum != renderer.end() && minimum->is_number() ? minimum->get<double>() : 0.0;
    bool first = true;
    for (const Json& legendClass : Classes(renderer) ? *Classes(renderer) : Json::array()) {
      const double upper = legendClass.at("break").get<double>();
      entries.push_back({map::RangeStands(lower, upper, first), LabelOf(legendClass)});
      lower = upper;
      first = false;
    }
  } else if (kind == "bivariate") {
    return LegendEntries(renderer.at("main"));
  }
  return entries;
}

std::vector<std::string> LegendEntryPointers(const Json& renderer, const std::string& where) {
  const std::string kind = renderer.value("kind", "");
  if (kind == "bivariate") return LegendEntryPointers(renderer.at("main"), Pointer(where, "main"));
  if (kind == "simple") return {where};
  std::vector<std::string> pointers;
  const Json* classes = Classes(renderer);
  for (size_t i = 0; classes != nullptr && i < classes->size(); ++i)
    pointers.push_back(Pointer(Pointer(where, "classes"), i));
  if (kind == "uniqueValue" && HasDefault(renderer)) pointers.push_back(Pointer(where, "default"));
  return pointers;
}

void WriteLegendLabels(Json& renderer, const std::vector<std::string>& labels) {
  const size_t count = LegendEntries(renderer).size();
  if (labels.size() != count)
    throw runtime::Error::Platform("The legend has " + std::to_string(count) + " entries, not " +
                                   std::to_string(labels.size()));
  const std::string kind = renderer.value("kind", "");
  if (kind == "bivariate") return WriteLegendLabels(renderer["main"], labels);
  if (kind == "simple") return SetLabel(renderer, labels.at(0));
  size_t next = 0;
  if (Classes(renderer)) {
    for (Json& legendClass : renderer["classes"])
      SetLabel(legendClass, labels.at(next++));
  }
  if (kind == "uniqueValue" && HasDefault(renderer)) SetLabel(renderer["default"], labels.at(next));
}

}  // namespace quillet::document
