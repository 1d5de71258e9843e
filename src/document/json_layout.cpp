#include "document/json_layout.h"

#include <algorithm>
#include <cstring>

namespace quillet::document {
namespace {

// Map documents are shallow; below this depth values are skipped, not recorded, so that a
// deep text cannot exhaust the stack.
constexpr int kDeepest = 64;
constexpr size_t kLongestLine = 100;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string Scalar(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string OneLine(const Json& value) {
  if (!value.is_structured()) return Scalar(value);
  if (value.empty()) return value.is_object() ? "{}" : "[]";
  std::string text;
  for (auto item = value.begin(); item != value.end(); ++item) {
    text += text.empty() ? "" : ", ";
    if (value.is_object()) text += Scalar(Json(item.key())) + ": ";
    text += OneLine(*item);
  }
  return value.is_object() ? "{ " + text + " }" : "[" + text + "]";
}

int Depth(const Json& value) {
  int deepest = 0;
  if (value.is_structured())
    for (const Json& item : value)
      deepest = std::max(deepest, Depth(item));
  return value.is_structured() ? deepest + 1 : 0;
}

}  // namespace

std::string ApplyEdits(const std::string& text, std::vector<TextEdit> edits) {
  std::stable_sort(edits.begin(), edits.end(),
                   [](const TextEdit& a, const TextEdit& b) { return a.begin < b.begin; });
  std::string result;
  size_t at = 0;
  for (const TextEdit& edit : edits) {
    result.append(text, at, edit.begin - at);
    result += edit.text;
    at = edit.end;
  }
  result.append(text, at, std::string::npos);
  return result;
}

std::string LaidOut(const Json& value, const std::string& indent, const std::string& step) {
  const std::string line = OneLine(value);
  if (!value.is_structured() || value.empty() ||
      (Depth(value) <= 2 && indent.size() + line.size() <= kLongestLine))
    return line;
  const std::string inner = indent + step;
  std::string text = value.is_object() ? "{\n" : "[\n";
  for (auto item = value.begin(); item != value.end(); ++item) {
    if (item != value.begin()) text += ",\n";
    text += inner;
    if (value.is_object()) text += Scalar(Json(item.key())) + ": ";
    text += LaidOut(*item, inner, step);
  }
  return text + "\n" + indent + (value.is_object() ? "}" : "]");
}

// Walks a text that parses as JSON, recording the span of every value and the members of
// every container.
class JsonScanner {
 public:
  explicit JsonScanner(JsonLayout& layout) : mLayout(layout), mText(layout.mText) {}

  void Document() {
    if (mText.rfind("\xEF\xBB\xBF", 0) == 0) mAt = 3;
    Blanks();
    Value("", 0);
  }

 private:
  void Blanks() {
    while (mAt < mText.size() && IsBlank(mText[mAt]))
      ++mAt;
  }

  size_t StringEnd(size_t quote) const { return mLayout.StringEnd(quote); }

  // Past a container without recording what it holds.
  void Skip() {
    int depth = 0;
    while (mAt < mText.size()) {
      const char c = mText[mAt];
      if (c == '"') {
        mAt = StringEnd(mAt);
        continue;
      }
      ++mAt;
      if (c == '{' || c == '[') ++depth;
      if ((c == '}' || c == ']') && --depth == 0) return;
    }
  }

  void Value(const std::string& pointer, int depth) {
    const size_t begin = mAt;
    const char open = mAt < mText.size() ? mText[mAt] : '\0';
    if ((open == '{' || open == '[') && depth >= kDeepest) {
      Skip();
    } else if (open == '{' || open == '[') {
      JsonLayout::Container container;
      container.begin = begin;
      const char close = open == '{' ? '}' : ']';
      ++mAt;
      Blanks();
      for (size_t index = 0; mAt < mText.size() && mText[mAt] != close; ++index) {
        JsonLayout::Member member;
        member.begin = mAt;
        std::string child;
        if (open == '{') {
          const size_t keyEnd = StringEnd(mAt);
          child = Pointer(pointer, Json::parse(mText.substr(mAt, keyEnd - mAt)).get<std::string>());
          mAt = keyEnd;
          Blanks();
          ++mAt;  // ':'
          Blanks();
        } else {
          child = Pointer(pointer, index);
        }
        member.valueBegin = mAt;
        Value(child, depth + 1);
        member.end = mAt;
        container.members.push_back(member);
        Blanks();
        if (mAt < mText.size() && mText[mAt] == ',') ++mAt;
        Blanks();
      }
      ++mAt;
      container.end = mAt;
      mLayout.mContainers[pointer] = std::move(container);
    } else if (open == '"') {
      mAt = StringEnd(mAt);
    } else {
      while (mAt < mText.size() && std::strchr(",}] \t\r\n", mText[mAt]) == nullptr)
        ++mAt;
    }
    mLayout.mValues[pointer] = {begin, mAt};
  }

  JsonLayout& mLayout;
  const std::string& mText;
  size_t mAt = 0;
};

JsonLayout::JsonLayout(std::string text) : mText(std::move(text)) {
  JsonScanner(*this).Document();
}

std::optional<std::pair<size_t, size_t>> JsonLayout::Span(const std::string& pointer) const {
  const auto found = mValues.find(pointer);
  if (found == mValues.end()) return std::nullopt;
  return found->second;
}

TextEdit JsonLayout::Replace(const std::string& pointer, const Json& value) const {
  const auto [begin, end] = mValues.at(pointer);
  std::string indent = IndentOfLine(begin);
  return {begin, end, LaidOut(value, indent, "  ")};
}

TextEdit JsonLayout::AddMember(const std::string& pointer, const std::string& key,
                               const Json& value) const {
  return Add(pointer, key, value);
}

TextEdit JsonLayout::Append(const std::string& pointer, const Json& value) const {
  return Add(pointer, "", value);
}

std::string JsonLayout::IndentOfLine(size_t at) const {
  const size_t lineBegin = mText.rfind('\n', at == 0 ? 0 : at - 1);
  size_t end = lineBegin == std::string::npos ? 0 : lineBegin + 1;
  const size_t begin = end;
  while (end < at && (mText[end] == ' ' || mText[end] == '\t'))
    ++end;
  return mText.substr(begin, end - begin);
}

TextEdit JsonLayout::Add(const std::string& pointer, const std::string& key,
                         const Json& value) const {
  const Container& container = mContainers.at(pointer);
  const bool object = mText[container.begin] == '{';
  if (container.members.empty()) {
    const std::string member = object ? Scalar(Json(key)) + ": " + OneLine(value) : OneLine(value);
    return {container.begin + 1, container.end - 1, member};
  }
  const Member& last = container.members.back();
  // The author's separators: after the key, and between members.
  std::string colon = ": ";
  if (object) {
    const size_t keyEnd = StringEnd(last.begin);
    colon = mText.substr(keyEnd, last.valueBegin - keyEnd);
  }
  const std::string name = object ? Scalar(Json(key)) + colon : "";
  const bool ownLines = mText.find('\n', container.begin) < container.members.front().begin;
  if (ownLines) {
    const std::string indent = IndentOfLine(last.begin);
    const std::string outer = IndentOfLine(container.begin);
    const std::string step =
        indent.size() > outer.size() ? indent.substr(outer.size()) : std::string("  ");
    return {last.end, last.end, ",\n" + indent + name + LaidOut(value, indent, step)};
  }
  std::string comma = ", ";
  if (container.members.size() > 1) {
    const Member& before = container.members[container.members.size() - 2];
    comma = mText.substr(before.end, last.begin - before.end);
  }
  return {last.end, last.end, comma + name + OneLine(value)};
}

size_t JsonLayout::StringEnd(size_t quote) const {
  for (size_t i = quote + 1; i < mText.size(); ++i) {
    if (mText[i] == '\\')
      ++i;
    else if (mText[i] == '"')
      return i + 1;
  }
  return mText.size();
}

}  // namespace quillet::document
