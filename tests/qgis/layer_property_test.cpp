#include "qgis/layer_property.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillet::qgis {
namespace {

using ::testing::HasSubstr;

const std::vector<std::string> kLabels{"Africa & <Asia>", "line\nbreak", "\"quoted\""};

// Adds the labels to the layer in `xml`, and checks that they read back and that the text
// before and after the edit is the file's.
std::string Added(const std::string& xml) {
  const XmlElement layer = ParseXml(xml, "p.qgs");
  const XmlEdit edit = AddStringListProperty(xml, layer, "quillet/originalLabels", kLabels);
  const std::string written = ApplyEdits(xml, {edit});
  EXPECT_EQ(written.substr(0, edit.span.begin), xml.substr(0, edit.span.begin));
  EXPECT_EQ(written.substr(written.size() - (xml.size() - edit.span.end)),
            xml.substr(edit.span.end));
  EXPECT_EQ(ReadStringListProperty(ParseXml(written, "p.qgs"), "quillet/originalLabels"), kLabels)
      << written;
  return written;
}

TEST(QgisLayerProperty, AddedAndReadInTheFormTheLayerUses) {
  const std::string map = Added(
      "<maplayer>\n <customproperties>\n  <Option type=\"Map\">\n"
      "   <Option type=\"QString\" name=\"k\" value=\"v\"/>\n  </Option>\n"
      " </customproperties>\n</maplayer>");
  // A sibling of the other properties, at their indentation.
  EXPECT_THAT(map, HasSubstr("   <Option type=\"QString\" name=\"k\" value=\"v\"/>\n"
                             "   <Option type=\"StringList\" name=\"quillet/originalLabels\">\n"));

  const std::string legacy = Added(
      "<maplayer>\n  <customproperties>\n    <property key=\"k\" value=\"v\"/>\n"
      "  </customproperties>\n</maplayer>");
  EXPECT_THAT(legacy, HasSubstr("    <property key=\"quillet/originalLabels\">\n"
                                "      <value>Africa &amp; &lt;Asia></value>\n"));

  Added("<qgis><customproperties/></qgis>");
  const std::string none = Added("<qgis>\n  <renderer-v2/>\n</qgis>\n");
  EXPECT_EQ(none.find("  <renderer-v2/>\n  <customproperties>\n    <Option type=\"Map\">"), 7u)
      << none;

  // With an Option map, QGIS ignores older <property> elements, and so does the reader.
  const XmlElement both = ParseXml(
      "<l><customproperties><Option type=\"Map\"/><property key=\"k\"><value>a</value>"
      "</property></customproperties></l>",
      "p.qgs");
  EXPECT_FALSE(ReadStringListProperty(both, "k").has_value());
}

}  // namespace
}  // namespace quillet::qgis
