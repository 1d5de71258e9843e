#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/json_reader.h"

namespace quillet::document {

/// A replacement of the bytes [begin, end) of a text; an insertion when they are equal.
struct TextEdit {
  size_t begin = 0;
  size_t end = 0;
  std::string text;
};

/// The text with the edits made on its bytes. Edits do not overlap; insertions at one place
/// go in the order given.
std::string ApplyEdits(const std::string& text, std::vector<TextEdit> edits);

/// A value written as a person lays out a map document: scalars and small containers on one
/// line (`{ "path": "w.gpkg" }`, `["Africa"]`), others one member a line, each line of a
/// member beginning with `indent` and `step`.
std::string LaidOut(const Json& value, const std::string& indent, const std::string& step);

/// Where each value of a JSON text stands, by JSON pointer, so that a few values can be
/// changed or added while every other byte, the author's layout included, stays as it was.
class JsonLayout {
 public:
  /// Scans a text that parses as JSON.
  explicit JsonLayout(std::string text);

  const std::string& Text() const { return mText; }
  /// The bytes of the value at `pointer` ("" the whole text), when the text has it.
  std::optional<std::pair<size_t, size_t>> Span(const std::string& pointer) const;
  /// Writes `value` in place of the value at `pointer`, which the text has.
  TextEdit Replace(const std::string& pointer, const Json& value) const;
  /// Adds `"key": value` to the object at `pointer` after its last member, on a line of its
  /// own when the members stand on lines of their own, with their indentation.
  TextEdit AddMember(const std::string& pointer, const std::string& key, const Json& value) const;
  /// Adds `value` at the end of the array at `pointer`, laid out as its elements are.
  TextEdit Append(const std::string& pointer, const Json& value) const;

 private:
  struct Member {
    size_t begin = 0;       // its key, or an element's value
    size_t valueBegin = 0;  // its value
    size_t end = 0;         // after its value
  };
  struct Container {
    size_t begin = 0;
    size_t end = 0;
    std::vector<Member> members;
  };
  friend class JsonScanner;

  TextEdit Add(const std::string& pointer, const std::string& key, const Json& value) const;
  /// After the string whose opening quote stands at `quote`.
  size_t StringEnd(size_t quote) const;
  /// The blanks that begin the line on which `at` stands, up to `at` or the first other byte.
  std::string IndentOfLine(size_t at) const;

  std::string mText;
  std::map<std::string, std::pair<size_t, size_t>> mValues;
  std::map<std::string, Container> mContainers;
};

}  // namespace quillet::document
