#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/error.h"

namespace quillet::document {

/// A map document's JSON, keys kept in the order the file has them.
using Json = nlohmann::ordered_json;

/// The deepest nesting of arrays and objects that a map document may have: far more than its
/// keys need, and few enough that reading, copying and writing the values (which recurse once
/// per level) stay well within the stack.
inline constexpr size_t kMaxJsonDepth = 1000;

/// The offset of the first '[' or '{' that opens a value nested deeper than `kMaxJsonDepth`
/// (brackets inside strings do not count), or npos. Meant for text before it is parsed; on
/// malformed text it may miss, and the parser then says what is wrong.
size_t TooDeeplyNested(std::string_view text);

/// A JSON pointer one step below `parent`: "/layers" + "renderer" -> "/layers/renderer".
std::string Pointer(const std::string& parent, const std::string& key);
std::string Pointer(const std::string& parent, size_t index);

/// Reads the keys of a map document, failing with errors that name the file, the key (as a
/// JSON pointer) and what is wrong with it. An optional key that is absent or null reads as
/// absent.
class JsonReader {
 public:
  explicit JsonReader(std::string file) : mFile(std::move(file)) {}

  const std::string& File() const { return mFile; }
  /// An error about the key at `where`.
  runtime::Error Error(const std::string& where, const std::string& what) const;

  /// `value` itself, when it is an object or an array; fails naming its type otherwise.
  const Json& Object(const Json& value, const std::string& where) const;
  const Json& Array(const Json& value, const std::string& where) const;
  /// The value of `key` in `object` (an object), failing when it is absent or null.
  const Json& Required(const Json& object, const std::string& where, const std::string& key) const;
  /// The value of `key` in `object`, or null when it is absent or null.
  const Json* Optional(const Json& object, const std::string& key) const;

  std::string String(const Json& value, const std::string& where) const;
  double Number(const Json& value, const std::string& where) const;
  int64_t Integer(const Json& value, const std::string& where) const;
  /// A string, or a number written as the shortest text that reads back as it.
  std::string Text(const Json& value, const std::string& where) const;
  std::vector<std::string> Strings(const Json& value, const std::string& where) const;

  std::string RequiredString(const Json& object, const std::string& where,
                             const std::string& key) const;
  std::optional<std::string> OptionalString(const Json& object, const std::string& where,
                                            const std::string& key) const;

 private:
  runtime::Error WrongType(const Json& value, const std::string& where,
                           const std::string& expected) const;
  std::string mFile;
};

}  // namespace quillet::document
