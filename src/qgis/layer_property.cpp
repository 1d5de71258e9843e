#include "qgis/layer_property.h"

namespace quillet::qgis {
namespace {

constexpr const char* kCustomProperties = "customproperties";

// The blanks before `offset` on its line, or "" when something else stands there.
std::string IndentBefore(std::string_view text, size_t offset) {
  size_t start = offset;
  while (start > 0 && (text[start - 1] == ' ' || text[start - 1] == '\t'))
    --start;
  if (start > 0 && text[start - 1] != '\n') return "";
  return std::string(text.substr(start, offset - start));
}

// The start of the line that holds `offset` when only blanks precede it there, else `offset`.
size_t LineStart(std::string_view text, size_t offset) {
  return offset - IndentBefore(text, offset).size();
}

// One level of indentation as the file uses it: a child's indent less its parent's.
std::string Step(std::string_view text, const XmlElement& parent, const XmlElement* child) {
  const std::string outer = IndentBefore(text, parent.whole.begin);
  if (child != nullptr) {
    const std::string inner = IndentBefore(text, child->whole.begin);
    if (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0)
      return inner.substr(outer.size());
  }
  return "  ";
}

std::string OptionList(const std::vector<StringListProperty>& properties, const std::string& indent,
                       const std::string& step) {
  std::string text;
  for (const auto& [key, values] : properties) {
    text += indent + "<Option type=\"StringList\" name=\"" + EscapeAttribute(key) + "\">\n";
    for (const auto& value : values)
      text +=
          indent + step + "<Option type=\"QString\" value=\"" + EscapeAttribute(value) + "\"/>\n";
    text += indent + "</Option>\n";
  }
  return text;
}

std::string LegacyList(const std::vector<StringListProperty>& properties, const std::string& indent,
                       const std::string& step) {
  std::string text;
  for (const auto& [key, values] : properties) {
    text += indent + "<property key=\"" + EscapeAttribute(key) + "\">\n";
    for (const auto& value : values)
      text += indent + step + "<value>" + EscapeAttribute(value) + "</value>\n";
    text += indent + "</property>\n";
  }
  return text;
}

}  // namespace

std::optional<std::vector<std::string>> ReadStringListProperty(const XmlElement& layer,
                                                               std::string_view key) {
  const XmlElement* properties = layer.Child(kCustomProperties);
  if (properties == nullptr) return std::nullopt;
  // QGIS reads the Option map when there is one and the older properties only without it.
  if (const XmlElement* map = properties->Child("Option")) {
    for (const XmlElement* option : map->ChildrenNamed("Option")) {
      if (option->AttributeOr("name") != key) continue;
      std::vector<std::string> values;
      for (const XmlElement* value : option->ChildrenNamed("Option"))
        values.push_back(value->AttributeOr("value"));
      return values;
    }
    return std::nullopt;
  }
  for (const XmlElement* property : properties->ChildrenNamed("property")) {
    if (property->AttributeOr("key") != key) continue;
    std::vector<std::string> values;
    for (const XmlElement* value : property->ChildrenNamed("value"))
      values.push_back(value->text);
    return values;
  }
  return std::nullopt;
}

XmlEdit AddStringListProperty(std::string_view text, const XmlElement& layer, std::string_view key,
                              const std::vector<std::string>& values) {
  return AddStringListProperties(text, layer, {{std::string(key), values}});
}

XmlEdit AddStringListProperties(std::string_view text, const XmlElement& layer,
                                const std::vector<StringListProperty>& lists) {
  const XmlElement* properties = layer.Child(kCustomProperties);
  if (properties == nullptr) {
    const XmlElement* last = layer.children.empty() ? nullptr : &layer.children.back();
    const std::string step = Step(text, layer, last);
    const std::string indent = IndentBefore(text, layer.whole.begin) + step;
    const size_t at = LineStart(text, layer.content.end);
    return {{at, at},
            indent + "<" + kCustomProperties + ">\n" + indent + step + "<Option type=\"Map\">\n" +
                OptionList(lists, indent + step + step, step) + indent + step + "</Option>\n" +
                indent + "</" + kCustomProperties + ">\n"};
  }

  const XmlElement* map = properties->Child("Option");
  const XmlElement* first = properties->children.empty() ? nullptr : &properties->children[0];
  const std::string step = Step(text, *properties, first);
  const std::string outer = IndentBefore(text, properties->whole.begin);
  if (map != nullptr && !map->empty) {
    const XmlElement* sibling = map->children.empty() ? nullptr : &map->children[0];
    const std::string inner = IndentBefore(text, map->whole.begin) + Step(text, *map, sibling);
    const size_t at = LineStart(text, map->content.end);
    // Without a line break before the end tag, the new lines start one.
    const std::string lead = at == map->content.end && !map->children.empty() ? "\n" : "";
    return {{at, at}, lead + OptionList(lists, inner, step)};
  }
  if (map != nullptr) {
    const std::string indent = IndentBefore(text, map->whole.begin);
    return {map->whole, "<Option type=\"Map\">\n" + OptionList(lists, indent + step, step) +
                            indent + "</Option>"};
  }
  if (!properties->ChildrenNamed("property").empty()) {
    const size_t at = LineStart(text, properties->content.end);
    return {{at, at}, LegacyList(lists, outer + step, step)};
  }
  // An empty <customproperties/> or one with nothing inside.
  return {properties->whole, std::string("<") + kCustomProperties + ">\n" + outer + step +
                                 "<Option type=\"Map\">\n" +
                                 OptionList(lists, outer + step + step, step) + outer + step +
                                 "</Option>\n" + outer + "</" + kCustomProperties + ">"};
}

}  // namespace quillet::qgis
