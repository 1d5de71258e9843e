#include "qgis/xml_document.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>

#include "map/map_error.h"
#include "quillet/error.h"
#include "runtime/case.h"
#include "runtime/utf8.h"

namespace quillet::qgis {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Names are checked loosely: every byte of a multi-byte character is taken as a name byte,
// since the text is known to be valid UTF-8 and QGIS names are ASCII anyway.
bool IsNameStart(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte == '_' ||
         byte == ':' || byte >= 0x80;
}

bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsXmlChar(uint32_t code) {
  return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& file) : mText(text), mFile(file) {}

  XmlElement Parse() {
    if (const size_t bad = runtime::InvalidUtf8(mText); bad != std::string_view::npos)
      Fail(bad, "invalid UTF-8 (byte 0x" + Hex(static_cast<unsigned char>(mText[bad])) + ")");
    if (mText.substr(0, kByteOrderMark.size()) == kByteOrderMark) mPos = kByteOrderMark.size();
    mDeclarationAt = mPos;
    while (mPos < mText.size()) {
      size_t markup = mText.find('<', mPos);
      if (markup == std::string_view::npos) markup = mText.size();
      ReadText(markup);
      if (mPos < mText.size()) ReadMarkup();
    }
    if (!mOpen.empty()) {
      const XmlElement& open = mOpen.back();
      Fail(mText.size(), "expected </" + open.name + "> to close <" + open.name + "> from line " +
                             std::to_string(open.line) + ", found the end of the document");
    }
    if (!mRootDone) Fail(mText.size(), "no root element");
    return std::move(mRoot);
  }

 private:
  [[noreturn]] void Fail(size_t at, const std::string& what) const {
    size_t line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < at; ++i) {
      if (mText[i] == '\n') {
        ++line;
        lineStart = i + 1;
      }
    }
    size_t column = 1;
    for (size_t i = lineStart; i < at; ++i)
      if ((static_cast<unsigned char>(mText[i]) & 0xC0) != 0x80) ++column;
    throw map::MapError(
        mFile, "line " + std::to_string(line) + ", column " + std::to_string(column), what);
  }

  static std::string Hex(unsigned value) {
    constexpr const char* kDigits = "0123456789ABCDEF";
    std::string text;
    do {
      text.insert(text.begin(), kDigits[value % 16]);
      value /= 16;
    } while (value != 0);
    if (text.size() % 2 != 0) text.insert(text.begin(), '0');
    return text;
  }

  // Start tags come in file order, so their lines are counted on from the previous one.
  size_t LineAt(size_t at) {
    mLine += static_cast<size_t>(std::count(mText.begin() + static_cast<std::ptrdiff_t>(mLineFrom),
                                            mText.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    mLineFrom = at;
    return mLine;
  }

  bool At(std::string_view what) const { return mText.substr(mPos, what.size()) == what; }

  bool SkipSpace() {
    const size_t from = mPos;
    while (mPos < mText.size() && IsSpace(mText[mPos]))
      ++mPos;
    return mPos > from;
  }

  std::string_view ReadName() {
    const size_t from = mPos;
    if (mPos < mText.size() && IsNameStart(mText[mPos])) {
      ++mPos;
      while (mPos < mText.size() && IsNameChar(mText[mPos]))
        ++mPos;
    }
    return mText.substr(from, mPos - from);
  }

  // Character data up to `end`: decoded into the open element, or only blanks outside it.
  void ReadText(size_t end) {
    if (mOpen.empty()) {
      for (size_t i = mPos; i < end; ++i)
        if (!IsSpace(mText[i]))
          Fail(i, mRootDone ? "text after the root element" : "text before the root element");
    } else {
      AppendDecoded(mPos, end, false, mOpen.back().text);
    }
    mPos = end;
  }

  // Resolves references and reads line ends as "\n"; in an attribute value a literal tab or
  // line end is read as a space, as XML's attribute-value normalisation requires.
  void AppendDecoded(size_t begin, size_t end, bool attribute, std::string& out) const {
    size_t i = begin;
    while (i < end) {
      const char c = mText[i];
      if (c == '&') {
        i = AppendReference(i, end, out);
      } else if (c == '\r') {
        out += attribute ? ' ' : '\n';
        i += i + 1 < end && mText[i + 1] == '\n' ? 2 : 1;
      } else {
        out += attribute && (c == '\n' || c == '\t') ? ' ' : c;
        ++i;
      }
    }
  }

  // The reference at `amp` appended to `out`; returns the offset after its ';'.
  size_t AppendReference(size_t amp, size_t end, std::string& out) const {
    size_t i = amp + 1;
    const bool numeric = i < end && mText[i] == '#';
    if (numeric) ++i;
    const size_t nameBegin = i;
    while (i < end && (numeric ? std::isalnum(static_cast<unsigned char>(mText[i])) != 0
                               : IsNameChar(mText[i])))
      ++i;
    if (i == end || mText[i] != ';' || i == nameBegin)
      Fail(amp, "'&' that does not begin a reference (write it as &amp;)");
    const std::string_view name = mText.substr(nameBegin, i - nameBegin);
    const std::string written = "&" + std::string(mText.substr(amp + 1, i - amp));
    if (numeric) {
      const bool hex = name[0] == 'x';
      uint32_t code = 0;
      bool valid = name.size() > (hex ? 1u : 0u);
      for (const char digit : name.substr(hex ? 1 : 0)) {
        const auto d = static_cast<unsigned char>(digit);
        uint32_t value = 16;
        if (d >= '0' && d <= '9') value = d - '0';
        if (hex && d >= 'a' && d <= 'f') value = d - 'a' + 10;
        if (hex && d >= 'A' && d <= 'F') value = d - 'A' + 10;
        if (value >= (hex ? 16u : 10u)) valid = false;
        if (valid) code = std::min<uint32_t>(code * (hex ? 16 : 10) + value, 0x110000);
      }
      if (!valid) Fail(amp, "malformed character reference " + written);
      if (!IsXmlChar(code))
        Fail(amp, "character reference " + written + " names a character XML does not allow");
      // Surrogates are no XML characters, so the runtime's raw-byte range never applies.
      runtime::AppendUtf8(out, static_cast<char32_t>(code));
    } else if (name == "lt") {
      out += '<';
    } else if (name == "gt") {
      out += '>';
    } else if (name == "amp") {
      out += '&';
    } else if (name == "apos") {
      out += '\'';
    } else if (name == "quot") {
      out += '"';
    } else {
      Fail(amp, "unknown entity " + written);
    }
    return i + 1;
  }

  void ReadMarkup() {
    if (At("</")) {
      ReadEndTag();
    } else if (At("<!--")) {
      Skip("-->", mPos + 4, "unterminated comment");
    } else if (At("<![CDATA[")) {
      if (mOpen.empty()) Fail(mPos, "CDATA section outside the root element");
      const size_t begin = mPos + 9;
      Skip("]]>", begin, "unterminated CDATA section");
      // Only line ends change; references stay as written.
      for (size_t i = begin; i < mPos - 3; ++i) {
        if (mText[i] == '\r') {
          mOpen.back().text += '\n';
          if (mText[i + 1] == '\n') ++i;
        } else {
          mOpen.back().text += mText[i];
        }
      }
    } else if (At("<!DOCTYPE")) {
      ReadDoctype();
    } else if (At("<!")) {
      Fail(mPos, "expected <!--, <![CDATA[ or <!DOCTYPE after '<!'");
    } else if (At("<?")) {
      ReadProcessingInstruction();
    } else {
      ReadStartTag();
    }
  }

  // Moves past the next `terminator` at or after `from`, failing at the current markup when
  // there is none.
  void Skip(std::string_view terminator, size_t from, const char* unterminated) {
    const size_t at = mText.find(terminator, from);
    if (at == std::string_view::npos) Fail(mPos, unterminated);
    mPos = at + terminator.size();
  }

  void ReadProcessingInstruction() {
    const size_t start = mPos;
    mPos += 2;
    const std::string_view target = ReadName();
    if (target.empty()) Fail(mPos, "expected a processing instruction target after '<?'");
    const size_t bodyBegin = mPos;
    mPos = start;
    Skip("?>", bodyBegin, "unterminated processing instruction");
    if (!runtime::EqualsIgnoreCase(target, "xml")) return;
    if (start != mDeclarationAt || target != "xml")
      Fail(start, "an XML declaration is only allowed at the start of the document");
    ReadDeclaration(bodyBegin, mPos - 2);
  }

  // The pseudo-attributes of <?xml ...?>; only the encoding matters here.
  void ReadDeclaration(size_t begin, size_t end) {
    const size_t resume = mPos;
    mPos = begin;
    bool versioned = false;
    while (true) {
      const bool spaced = SkipSpace();
      if (mPos >= end) break;
      const size_t nameAt = mPos;
      const std::string_view name = ReadName();
      if (!spaced || name.empty()) Fail(nameAt, "malformed XML declaration");
      SkipSpace();
      if (mPos >= end || mText[mPos] != '=') Fail(mPos, "malformed XML declaration");
      ++mPos;
      SkipSpace();
      const char quote = mPos < end ? mText[mPos] : '\0';
      const size_t close = quote == '"' || quote == '\'' ? mText.find(quote, mPos + 1) : end;
      if (close >= end) Fail(mPos, "malformed XML declaration");
      const std::string_view value = mText.substr(mPos + 1, close - mPos - 1);
      if (name == "version") versioned = true;
      if (name == "encoding" && !runtime::EqualsIgnoreCase(value, "UTF-8"))
        Fail(mPos + 1, "the document declares the encoding " + Quoted(value) +
                           "; only UTF-8 documents are read");
      mPos = close + 1;
    }
    if (!versioned) Fail(begin, "malformed XML declaration (no version)");
    mPos = resume;
  }

  // <!DOCTYPE name ExternalID? [internal subset]? >, skipped with quoted strings and the
  // subset's comments and processing instructions read whole, since they may hold '>' or ']'.
  void ReadDoctype() {
    const size_t start = mPos;
    if (mRootStarted) Fail(start, "a DOCTYPE after the root element");
    if (mDoctypeSeen) Fail(start, "a second DOCTYPE");
    mDoctypeSeen = true;
    size_t i = start + 9;
    bool inSubset = false;
    while (true) {
      if (i >= mText.size()) Fail(start, "unterminated DOCTYPE");
      const char c = mText[i];
      if (c == '"' || c == '\'') {
        i = mText.find(c, i + 1);
        if (i == std::string_view::npos) Fail(start, "unterminated DOCTYPE");
        ++i;
      } else if (inSubset && mText.substr(i, 4) == "<!--") {
        i = mText.find("-->", i + 4);
        if (i == std::string_view::npos) Fail(start, "unterminated DOCTYPE");
        i += 3;
      } else if (inSubset && mText.substr(i, 2) == "<?") {
        i = mText.find("?>", i + 2);
        if (i == std::string_view::npos) Fail(start, "unterminated DOCTYPE");
        i += 2;
      } else if (!inSubset && c == '>') {
        mPos = i + 1;
        return;
      } else {
        if (c == '[') inSubset = true;
        if (c == ']') inSubset = false;
        ++i;
      }
    }
  }

  void ReadStartTag() {
    const size_t start = mPos;
    ++mPos;
    const std::string_view name = ReadName();
    if (name.empty()) Fail(mPos, "expected an element name after '<'");
    if (mRootDone) Fail(start, "a second root element <" + std::string(name) + ">");
    if (mOpen.size() >= kMaxXmlDepth)
      Fail(start, "elements nest deeper than " + std::to_string(kMaxXmlDepth) + " levels");
    mRootStarted = true;
    XmlElement element;
    element.name = name;
    element.whole.begin = start;
    element.line = LineAt(start);
    const std::string tag = "<" + element.name + ">";
    while (true) {
      const bool spaced = SkipSpace();
      if (mPos >= mText.size()) Fail(start, "unterminated start tag " + tag);
      if (mText[mPos] == '>') {
        element.content.begin = ++mPos;
        mOpen.push_back(std::move(element));
        return;
      }
      if (At("/>")) {
        mPos += 2;
        element.empty = true;
        element.whole.end = mPos;
        element.content = {mPos, mPos};
        Close(std::move(element));
        return;
      }
      if (!spaced) {
        const std::string after = element.attributes.empty()
                                      ? "the name of " + tag
                                      : "the value of " + Quoted(element.attributes.back().name);
        Fail(mPos, "expected a space, '>' or '/>' after " + after);
      }
      ReadAttribute(element, tag);
    }
  }

  void ReadAttribute(XmlElement& element, const std::string& tag) {
    const size_t nameAt = mPos;
    const std::string_view name = ReadName();
    if (name.empty()) Fail(mPos, "expected an attribute name, '>' or '/>' in " + tag);
    for (const XmlAttribute& other : element.attributes)
      if (other.name == name) Fail(nameAt, "duplicate attribute " + Quoted(name) + " in " + tag);
    SkipSpace();
    if (mPos >= mText.size() || mText[mPos] != '=')
      Fail(mPos, "expected '=' after attribute " + Quoted(name));
    ++mPos;
    SkipSpace();
    const char quote = mPos < mText.size() ? mText[mPos] : '\0';
    if (quote != '"' && quote != '\'')
      Fail(mPos, "expected a quoted value for attribute " + Quoted(name));
    const size_t close = mText.find(quote, mPos + 1);
    if (close == std::string_view::npos)
      Fail(mPos, "unterminated value of attribute " + Quoted(name));
    XmlAttribute attribute{std::string(name), "", {mPos + 1, close}};
    // A missing closing quote usually shows as a '<' swallowed into the value.
    const size_t lt = mText.substr(0, close).find('<', mPos + 1);
    if (lt != std::string_view::npos)
      Fail(lt, "'<' in the value of attribute " + Quoted(name) + " (is a quote missing?)");
    AppendDecoded(attribute.valueSpan.begin, attribute.valueSpan.end, true, attribute.value);
    element.attributes.push_back(std::move(attribute));
    mPos = close + 1;
  }

  void ReadEndTag() {
    const size_t start = mPos;
    mPos += 2;
    const std::string_view name = ReadName();
    if (name.empty()) Fail(mPos, "expected an element name after '</'");
    const std::string tag = "</" + std::string(name) + ">";
    SkipSpace();
    if (mPos >= mText.size() || mText[mPos] != '>')
      Fail(mPos, "expected '>' to close the end tag of <" + std::string(name) + ">");
    ++mPos;
    if (mOpen.empty())
      Fail(start, tag + (mRootDone ? " after the root element" : " before the root element"));
    XmlElement& open = mOpen.back();
    if (open.name != name)
      Fail(start, "expected </" + open.name + "> to close <" + open.name + "> from line " +
                      std::to_string(open.line) + ", found " + tag);
    open.content.end = start;
    open.whole.end = mPos;
    XmlElement element = std::move(open);
    mOpen.pop_back();
    Close(std::move(element));
  }

  void Close(XmlElement element) {
    if (mOpen.empty()) {
      mRoot = std::move(element);
      mRootDone = true;
    } else {
      mOpen.back().children.push_back(std::move(element));
    }
  }

  std::string_view mText;
  const std::string& mFile;
  size_t mPos = 0;
  size_t mDeclarationAt = 0;
  size_t mLine = 1;
  size_t mLineFrom = 0;
  bool mDoctypeSeen = false;
  bool mRootStarted = false;
  bool mRootDone = false;
  std::vector<XmlElement> mOpen;  // the elements whose end tag is still to come, outermost first
  XmlElement mRoot;
};

}  // namespace

const XmlAttribute* XmlElement::Attribute(std::string_view name) const {
  for (const XmlAttribute& attribute : attributes)
    if (attribute.name == name) return &attribute;
  return nullptr;
}

std::string XmlElement::AttributeOr(std::string_view name, std::string fallback) const {
  const XmlAttribute* attribute = Attribute(name);
  return attribute ? attribute->value : std::move(fallback);
}

const XmlElement* XmlElement::Child(std::string_view name) const {
  for (const XmlElement& child : children)
    if (child.name == name) return &child;
  return nullptr;
}

std::vector<const XmlElement*> XmlElement::ChildrenNamed(std::string_view name) const {
  std::vector<const XmlElement*> found;
  for (const XmlElement& child : children)
    if (child.name == name) found.push_back(&child);
  return found;
}

XmlElement ParseXml(std::string_view text, const std::string& file) {
  return Parser(text, file).Parse();
}

std::string EscapeAttribute(std::string_view value, char quote) {
  std::string escaped;
  escaped.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\n':
        escaped += "&#xa;";
        break;
      case '\r':
        escaped += "&#xd;";
        break;
      case '\t':
        escaped += "&#x9;";
        break;
      case '>':
        escaped += i >= 2 && value.substr(i - 2, 2) == "]]" ? "&gt;" : ">";
        break;
      case '\'':
        escaped += quote == '\'' ? "&apos;" : "'";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string ApplyEdits(std::string_view text, std::vector<XmlEdit> edits) {
  const auto describe = [](Span span) {
    return "[" + std::to_string(span.begin) + ", " + std::to_string(span.end) + ")";
  };
  std::stable_sort(edits.begin(), edits.end(), [](const XmlEdit& a, const XmlEdit& b) {
    return a.span.begin != b.span.begin ? a.span.begin < b.span.begin : a.span.end < b.span.end;
  });
  std::string result;
  size_t copied = 0;
  for (const XmlEdit& edit : edits) {
    if (edit.span.end < edit.span.begin)
      throw runtime::Error(runtime::Error::kInvalidProcedureCall,
                           "an edit of bytes " + describe(edit.span) + " ends before it begins");
    if (edit.span.end > text.size())
      throw runtime::Error(runtime::Error::kInvalidProcedureCall,
                           "an edit of bytes " + describe(edit.span) + " goes past the end (" +
                               std::to_string(text.size()) + " bytes)");
    if (edit.span.begin < copied)
      throw runtime::Error(runtime::Error::kInvalidProcedureCall,
                           "an edit of bytes " + describe(edit.span) +
                               " overlaps another ending at byte " + std::to_string(copied));
    result.append(text.substr(copied, edit.span.begin - copied));
    result += edit.text;
    copied = edit.span.end;
  }
  result.append(text.substr(copied));
  return result;
}

}  // namespace quillet::qgis
