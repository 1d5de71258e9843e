// Reads arbitrary bytes as a QGIS project's XML and aborts when a parse breaks what writing
// labels back relies on: spans inside the text and nested as the elements are, and values that
// rewritten in place read back the same. Crashes, leaks, undefined behaviour and hangs are
// libFuzzer's to catch.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "qgis/xml_document.h"
#include "quillet/error.h"

namespace {

using quillet::qgis::Span;
using quillet::qgis::XmlEdit;
using quillet::qgis::XmlElement;

bool Within(Span inner, Span outer) {
  return outer.begin <= inner.begin && inner.begin <= inner.end && inner.end <= outer.end;
}

// Checks the element's spans and gathers an edit that writes every attribute value anew.
void Walk(std::string_view text, const XmlElement& element, std::vector<XmlEdit>& edits) {
  CHECK(Within(element.whole, {0, text.size()}));
  CHECK(text[element.whole.begin] == '<');
  CHECK(text.substr(element.whole.begin + 1, element.name.size()) == element.name);
  CHECK(text[element.whole.end - 1] == '>');
  CHECK(Within(element.content, element.whole));
  if (element.empty) {
    CHECK(element.content.begin == element.whole.end && element.content.end == element.whole.end);
    CHECK(element.children.empty());
  } else {
    CHECK(text[element.content.begin - 1] == '>');
    CHECK(text.substr(element.content.end, 2 + element.name.size()) == "</" + element.name);
  }
  const size_t tagEnd = element.empty ? element.whole.end : element.content.begin;
  for (const auto& attribute : element.attributes) {
    CHECK(Within(attribute.valueSpan, {element.whole.begin, tagEnd}));
    const char quote = text[attribute.valueSpan.begin - 1];
    CHECK(quote == '"' || quote == '\'');
    CHECK(text[attribute.valueSpan.end] == quote);
    edits.push_back({attribute.valueSpan, quillet::qgis::EscapeAttribute(attribute.value, quote)});
  }
  size_t after = element.content.begin;
  for (const auto& child : element.children) {
    CHECK(Within(child.whole, element.content));
    CHECK(child.whole.begin >= after);
    after = child.whole.end;
    Walk(text, child, edits);
  }
}

void Compare(const XmlElement& a, const XmlElement& b) {
  CHECK(a.name == b.name);
  CHECK(a.text == b.text);
  CHECK(a.attributes.size() == b.attributes.size());
  for (size_t i = 0; i < a.attributes.size(); ++i) {
    CHECK(a.attributes[i].name == b.attributes[i].name);
    CHECK(a.attributes[i].value == b.attributes[i].value);
  }
  CHECK(a.children.size() == b.children.size());
  for (size_t i = 0; i < a.children.size(); ++i)
    Compare(a.children[i], b.children[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  XmlElement root;
  try {
    root = quillet::qgis::ParseXml(text, "fuzz.qgs");
  } catch (const quillet::runtime::Error&) {
    return 0;
  }
  std::vector<XmlEdit> edits;
  Walk(text, root, edits);
  // Every value written back as the writer writes labels: the document reads the same.
  const std::string rewritten = quillet::qgis::ApplyEdits(text, edits);
  try {
    Compare(root, quillet::qgis::ParseXml(rewritten, "fuzz.qgs"));
  } catch (const quillet::runtime::Error& error) {
    std::fprintf(stderr, "the rewritten document does not parse: %s\n",
                 error.Description().c_str());
    std::abort();
  }
  return 0;
}
