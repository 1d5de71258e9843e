#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::qgis {

/// A range of bytes [begin, end) of the document text.
struct Span {
  size_t begin = 0;
  size_t end = 0;
};

struct XmlAttribute {
  std::string name;
  /// Decoded as an XML reader sees it: references resolved, a literal tab, newline or line end
  /// read as one space (which is why writers escape them).
  std::string value;
  /// The raw bytes between the quotes.
  Span valueSpan;
};

/// One element of a parsed document, with the byte offsets of its parts so that a caller can
/// rewrite a value or insert markup and leave every other byte of the file as it was.
struct XmlElement {
  std::string name;
  std::vector<XmlAttribute> attributes;  ///< in file order
  std::vector<XmlElement> children;      ///< child elements in file order
  /// Decoded character data (text and CDATA) directly inside, concatenated; line ends read as
  /// "\n".
  std::string text;
  /// From '<' of the start tag to after '>' of the end tag (or of the empty tag).
  Span whole;
  /// After the start tag's '>' to before the end tag's '<'; {x, x} for <a/> where x = whole.end.
  Span content;
  bool empty = false;  ///< written as <a/>
  size_t line = 0;     ///< line of the start tag, from 1

  /// nullptr when absent.
  const XmlAttribute* Attribute(std::string_view name) const;
  std::string AttributeOr(std::string_view name, std::string fallback = "") const;
  /// The first child of that name, or nullptr.
  const XmlElement* Child(std::string_view name) const;
  std::vector<const XmlElement*> ChildrenNamed(std::string_view name) const;
};

/// Elements nest at most this deep; deeper documents are refused rather than risk the stack
/// when a tree is copied or destroyed.
inline constexpr size_t kMaxXmlDepth = 10000;

/// Parses a whole document: an optional UTF-8 byte order mark, XML declaration, comments,
/// processing instructions, a DOCTYPE with or without an internal subset (whose entity
/// declarations are not expanded; QGIS never writes any) and one root element. Malformed XML
/// fails with a document error (map::kMapError) located as "line L, column C", the
/// column counted in characters from 1.
XmlElement ParseXml(std::string_view text, const std::string& file);

/// An attribute value written the way Qt's QDom writes it inside double quotes, so that a value
/// we write is byte for byte what QGIS would write: & as &amp;  < as &lt;  " as &quot;  > as
/// &gt; only after "]]", newline as &#xa;  carriage return as &#xd;  tab as &#x9;  and
/// everything else (apostrophes included) as is.
/// Between apostrophes (`quote` '\'', as a hand-edited file may have them) an apostrophe is
/// written &apos; too.
std::string EscapeAttribute(std::string_view value, char quote = '"');

/// One replacement of a span of the text (an insertion when begin == end).
struct XmlEdit {
  Span span;
  std::string text;
};

/// The text with the edits applied. Edits may come in any order but must not overlap; two
/// insertions at the same offset keep their given order, and an insertion at the start of a
/// replaced span goes before the replacement. Fails on overlapping edits, a span that ends
/// before it begins or one past the end of the text.
std::string ApplyEdits(std::string_view text, std::vector<XmlEdit> edits);

}  // namespace quillet::qgis
