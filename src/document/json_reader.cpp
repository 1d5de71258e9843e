#include "document/json_reader.h"

#include <limits>

#include "map/map_error.h"
#include "platform/store/sql_text.h"

namespace quillet::document {
namespace {

// "a string", "an object": the type as a message names it.
std::string Described(const Json& value) {
  const std::string name = value.type_name();
  const bool vowel = name[0] == 'a' || name[0] == 'o';
  return (vowel ? "an " : "a ") + name;
}

// The value as it is written, cut short for a one-line message.
std::string Shown(const Json& value) {
  std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
  constexpr size_t kLongest = 40;
  if (text.size() > kLongest) text = text.substr(0, kLongest - 3) + "...";
  return text;
}

}  // namespace

size_t TooDeeplyNested(std::string_view text) {
  size_t depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxJsonDepth) return i;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return std::string_view::npos;
}

std::string Pointer(const std::string& parent, const std::string& key) {
  // Keys are escaped as JSON pointers require.
  std::string escaped;
  for (const char c : key) {
    if (c == '~') {
      escaped += "~0";
    } else if (c == '/') {
      escaped += "~1";
    } else {
      escaped += c;
    }
  }
  return parent + "/" + escaped;
}

std::string Pointer(const std::string& parent, size_t index) {
  return parent + "/" + std::to_string(index);
}

runtime::Error JsonReader::Error(const std::string& where, const std::string& what) const {
  return map::MapError(mFile, where.empty() ? "/" : where, what);
}

runtime::Error JsonReader::WrongType(const Json& value, const std::string& where,
                                     const std::string& expected) const {
  return Error(where,
               "expected " + expected + ", found " + Described(value) + " (" + Shown(value) + ")");
}

const Json& JsonReader::Object(const Json& value, const std::string& where) const {
  if (!value.is_object()) throw WrongType(value, where, "an object");
  return value;
}

const Json& JsonReader::Array(const Json& value, const std::string& where) const {
  if (!value.is_array()) throw WrongType(value, where, "an array");
  return value;
}

const Json& JsonReader::Required(const Json& object, const std::string& where,
                                 const std::string& key) const {
  const Json* value = Optional(object, key);
  if (value == nullptr) throw Error(where.empty() ? "/" : where, "missing key \"" + key + "\"");
  return *value;
}

const Json* JsonReader::Optional(const Json& object, const std::string& key) const {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return nullptr;
  return &*found;
}

std::string JsonReader::String(const Json& value, const std::string& where) const {
  if (!value.is_string()) throw WrongType(value, where, "a string");
  return value.get<std::string>();
}

double JsonReader::Number(const Json& value, const std::string& where) const {
  if (!value.is_number()) throw WrongType(value, where, "a number");
  return value.get<double>();
}

int64_t JsonReader::Integer(const Json& value, const std::string& where) const {
  if (value.is_number_unsigned()) {
    if (value.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
      throw Error(where, "the integer " + Shown(value) + " is too large");
    return static_cast<int64_t>(value.get<uint64_t>());
  }
  if (!value.is_number_integer()) throw WrongType(value, where, "an integer");
  return value.get<int64_t>();
}

std::string JsonReader::Text(const Json& value, const std::string& where) const {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_unsigned()) return std::to_string(value.get<uint64_t>());
  if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
  if (value.is_number_float()) return platform::NumberLiteral(value.get<double>());
  throw WrongType(value, where, "a string or a number");
}

std::vector<std::string> JsonReader::Strings(const Json& value, const std::string& where) const {
  std::vector<std::string> strings;
  for (size_t i = 0; i < Array(value, where).size(); ++i)
    strings.push_back(String(value[i], Pointer(where, i)));
  return strings;
}

std::string JsonReader::RequiredString(const Json& object, const std::string& where,
                                       const std::string& key) const {
  return String(Required(object, where, key), Pointer(where, key));
}

std::optional<std::string> JsonReader::OptionalString(const Json& object, const std::string& where,
                                                      const std::string& key) const {
  const Json* value = Optional(object, key);
  if (value == nullptr) return std::nullopt;
  return String(*value, Pointer(where, key));
}

}  // namespace quillet::document
