#include "qgis/xml_document.h"

#include <gtest/gtest.h>

#include "map/map_error.h"
#include "support/error_of.h"

namespace quillet::qgis {
namespace {

using test::ErrorOf;
using test::Why;

// The category lines are as QGIS 3.22 writes a label set to kAwkward.
const std::string kAwkward = "a&b<c>d\"e'f\ng\rh\ti]]>j";
const std::string kProject =
    "<!DOCTYPE qgis PUBLIC 'http://mrcc.com/qgis.dtd' 'SYSTEM'>\n"
    "<qgis version=\"3.22.16-Białowieża\" projectname=\"\">\n"
    "  <title>World &amp; more</title>\n"
    "  <projectlayers>\n"
    "    <maplayer type=\"vector\">\n"
    "      <id>world_1</id>\n"
    "      <renderer-v2 type=\"categorizedSymbol\" attr=\"continent\">\n"
    "        <categories>\n"
    "          <category value=\"x\" symbol=\"0\" "
    "label=\"a&amp;b&lt;c>d&quot;e'f&#xa;g&#xd;h&#x9;i]]&gt;j\" render=\"true\"/>\n"
    "          <category value=\"y\" symbol=\"1\" label=\"plain ü é ’\" render=\"true\"/>\n"
    "        </categories>\n"
    "      </renderer-v2>\n"
    "    </maplayer>\n"
    "  </projectlayers>\n"
    "</qgis>\n";

// After a prologue and before an epilogue; the spans of values are checked by the edits.
TEST(XmlDocument, DecodesValuesAndText) {
  const std::string text =
      "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?>\n<!DOCTYPE a [\n"
      "<!ENTITY x \"]>\">\n<!-- ]> -->\n]>\n<?pi ?>\n"
      "<a x='it&apos;s \"q\"' y=\"&#10;&#x9;&lt;&#233;&#x1F600;\" z=\"one\ntwo\r\nthree\tfour\">"
      "text&#65;<![CDATA[<raw &amp;>]]>\r\nend<!-- note --><b/></a>\n<!-- end --> <?pi?>\n";
  const XmlElement root = ParseXml(text, "p.qgs");
  EXPECT_EQ(root.line, 7u);
  EXPECT_EQ(root.attributes[0].value, "it's \"q\"");
  EXPECT_EQ(root.attributes[1].value, "\n\t<é😀");
  EXPECT_EQ(root.attributes[2].value, "one two three four");
  EXPECT_EQ(root.text, "textA<raw &amp;>\nend");
}

TEST(XmlDocument, EditsLeaveEveryOtherByteAsItWas) {
  const XmlElement root = ParseXml(kProject, "p.qgs");
  const XmlElement& layer = *root.Child("projectlayers")->Child("maplayer");
  const XmlElement& category = layer.children[1].children[0].children[1];
  // The label as QGIS escapes it reads back, and is escaped again as QGIS escapes it.
  const XmlAttribute& awkward = *layer.children[1].children[0].children[0].Attribute("label");
  EXPECT_EQ(awkward.value, kAwkward);
  EXPECT_EQ(
      kProject.substr(awkward.valueSpan.begin, awkward.valueSpan.end - awkward.valueSpan.begin),
      EscapeAttribute(kAwkward));
  const std::string label = "new \"label\"\n";
  const std::string added = "  <customproperties/>\n    ";
  const std::string edited =
      ApplyEdits(kProject, {{{layer.content.end, layer.content.end}, added},
                            {category.Attribute("label")->valueSpan, EscapeAttribute(label)}});

  std::string expected = kProject;
  expected.insert(expected.find("</maplayer>"), added);
  expected.replace(expected.find("plain ü é ’"), std::string("plain ü é ’").size(),
                   "new &quot;label&quot;&#xa;");
  EXPECT_EQ(edited, expected);
  const XmlElement reread = ParseXml(edited, "p.qgs");
  EXPECT_EQ(reread.children[1].children[0].children[1].children[0].children[1].AttributeOr("label"),
            label);
}

TEST(XmlDocument, EscapesAttributesAsQtDoes) {
  EXPECT_EQ(EscapeAttribute("]>a>]]]>] ]>"), "]>a>]]]&gt;] ]>");
  for (const std::string& value :
       {kAwkward, std::string(" \r\n lead and trail \t"), std::string("]]>]]>"),
        std::string("Ünïcödé “quotes” 😀 &amp;")}) {
    const XmlElement element = ParseXml("<a v=\"" + EscapeAttribute(value) + "\"/>", "p.qgs");
    EXPECT_EQ(element.AttributeOr("v"), value);
  }
}

TEST(XmlDocument, RefusesMalformedDocumentsSayingWhereAndWhat) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "line 1, column 1: no root element"},
      {"<a><b>\n</a>", "line 2, column 1: expected </b> to close <b> from line 1, found </a>"},
      {"<a>\n<b>",
       "line 2, column 4: expected </b> to close <b> from line 2, found the end of "
       "the document"},
      {"<a x=\"1\" x='2'/>", "line 1, column 10: duplicate attribute \"x\" in <a>"},
      {"<a x/>", "line 1, column 5: expected '=' after attribute \"x\""},
      {"<a x=1/>", "line 1, column 6: expected a quoted value for attribute \"x\""},
      {"<a x=\"1\"y=\"2\"/>",
       "line 1, column 9: expected a space, '>' or '/>' after the value of \"x\""},
      {"<a/ >", "line 1, column 3: expected a space, '>' or '/>' after the name of <a>"},
      {"<a x=\"1/>\n<b y=\"2\"/>",
       "line 2, column 1: '<' in the value of attribute \"x\" (is a quote missing?)"},
      {"<a x=\"1/>", "line 1, column 6: unterminated value of attribute \"x\""},
      {"<a  =\"1\"/>", "line 1, column 5: expected an attribute name, '>' or '/>' in <a>"},
      {"<a", "line 1, column 1: unterminated start tag <a>"},
      {"< a/>", "line 1, column 2: expected an element name after '<'"},
      {"<a></ a>", "line 1, column 6: expected an element name after '</'"},
      {"<a></a x>", "line 1, column 8: expected '>' to close the end tag of <a>"},
      {"<a>\n  é&nbsp;</a>", "line 2, column 4: unknown entity &nbsp;"},
      {"<a>AT&T</a>", "line 1, column 6: '&' that does not begin a reference (write it as &amp;)"},
      {"<a>&#xZ1;</a>", "line 1, column 4: malformed character reference &#xZ1;"},
      {"<a v='&#0;'/>",
       "line 1, column 7: character reference &#0; names a character XML does not allow"},
      {"<a>&#99999999999;</a>",
       "line 1, column 4: character reference &#99999999999; names a character XML does not allow"},
      {"<a/>x", "line 1, column 5: text after the root element"},
      {"x<a/>", "line 1, column 1: text before the root element"},
      {"<a/><b/>", "line 1, column 5: a second root element <b>"},
      {"<a/></a>", "line 1, column 5: </a> after the root element"},
      {"</a>", "line 1, column 1: </a> before the root element"},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>",
       "line 1, column 31: the document declares the encoding \"ISO-8859-1\"; only UTF-8 "
       "documents are read"},
      {"<a/><?xml version=\"1.0\"?>",
       "line 1, column 5: an XML declaration is only allowed at the start of the document"},
      {"<?xml encoding='UTF-8'?><a/>", "line 1, column 6: malformed XML declaration (no version)"},
      {"<?xml version=1.0?><a/>", "line 1, column 15: malformed XML declaration"},
      {"<a>\xC3(</a>", "line 1, column 4: invalid UTF-8 (byte 0xC3)"},
      {"<a>é\xED\xA0\x80</a>", "line 1, column 5: invalid UTF-8 (byte 0xED)"},
      {"<a><!-- x </a>", "line 1, column 4: unterminated comment"},
      {"<a><![CDATA[x</a>", "line 1, column 4: unterminated CDATA section"},
      {"<![CDATA[x]]><a/>", "line 1, column 1: CDATA section outside the root element"},
      {"<!DOCTYPE a [ <!ENTITY x '>]'> <a/>", "line 1, column 1: unterminated DOCTYPE"},
      {"<a/><!DOCTYPE a>", "line 1, column 5: a DOCTYPE after the root element"},
      {"<!DOCTYPE a><!DOCTYPE a><a/>", "line 1, column 13: a second DOCTYPE"},
      {"<a><!ELEMENT a></a>", "line 1, column 4: expected <!--, <![CDATA[ or <!DOCTYPE after '<!'"},
      {"<a><?></a>", "line 1, column 6: expected a processing instruction target after '<?'"},
      {"<a><?pi x</a>", "line 1, column 4: unterminated processing instruction"},
  };
  for (const auto& [text, message] : cases) {
    const runtime::Error error = ErrorOf([&] { ParseXml(text, "p.qgs"); });
    EXPECT_EQ(error.Number(), map::kMapError) << text;
    EXPECT_EQ(error.Description(), "p.qgs: " + message) << text;
  }
}

TEST(XmlDocument, LimitsTheNestingDepth) {
  std::string deepest;
  for (size_t i = 0; i < kMaxXmlDepth; ++i)
    deepest = "<a>" + deepest + "</a>";
  EXPECT_EQ(ParseXml(deepest, "p.qgs").name, "a");
  EXPECT_EQ(Why([&] { ParseXml("<a>" + deepest + "</a>", "p.qgs"); }),
            "p.qgs: line 1, column 30001: elements nest deeper than 10000 levels");
}

TEST(XmlDocument, AppliesEditsInOffsetOrderAndRefusesOverlaps) {
  EXPECT_EQ(ApplyEdits("abcdef", {{{3, 3}, "X"}, {{1, 2}, "B"}, {{3, 3}, "Y"}, {{3, 5}, "[de]"}}),
            "aBcXY[de]f");
  EXPECT_EQ(ApplyEdits("abc", {{{3, 3}, "!"}}), "abc!");
  const auto failure = [](std::vector<XmlEdit> edits) {
    return Why([&] { ApplyEdits("abcdef", edits); });
  };
  EXPECT_EQ(failure({{{1, 3}, ""}, {{2, 4}, ""}}),
            "an edit of bytes [2, 4) overlaps another ending at byte 3");
  EXPECT_EQ(failure({{{5, 7}, ""}}), "an edit of bytes [5, 7) goes past the end (6 bytes)");
  EXPECT_EQ(failure({{{4, 2}, ""}}), "an edit of bytes [4, 2) ends before it begins");
}

}  // namespace
}  // namespace quillet::qgis
