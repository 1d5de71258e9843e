#include "qgis/qgis_renderer.h"

#include <gtest/gtest.h>

#include "map/legend_entry.h"
#include "support/error_of.h"

namespace quillet::qgis {
namespace {

struct Read {
  explicit Read(const std::string& xml) : root(ParseXml(xml, "r.qgs")), renderer(root) {}
  XmlElement root;
  QgisRenderer renderer;

  std::vector<std::string> Stands() const {
    std::vector<std::string> stands;
    for (const auto& item : renderer.Items())
      stands.push_back(item.stands);
    return stands;
  }
  std::string Failure() const {
    return test::Why([&] { renderer.Make("F", nullptr); });
  }
};

TEST(QgisRenderer, CategoriesPutTheCatchAllLast) {
  const Read read(R"(<renderer-v2 type="categorizedSymbol" attr="continent"><categories>
      <category value="Africa" label="Af"/>
      <category value="" label="Rest"/>
      <category value="Asia" label="As"/>
      <category value="x" label="Merged"><val value="Europe" type="QString"/><val value="Oceania"/></category>
    </categories></renderer-v2>)");
  EXPECT_EQ(read.Stands(),
            (std::vector<std::string>{"Africa", "Asia", "Europe; Oceania", "all other values"}));

  // "NULL" is a catch-all too; a second catch-all is an ordinary value and then a duplicate.
  const Read twice(R"(<renderer-v2 type="categorizedSymbol" attr="a"><categories>
      <category value="NULL" label="n"/><category value="" label="e"/><category value="" label="f"/>
    </categories></renderer-v2>)");
  EXPECT_EQ(twice.Stands(), (std::vector<std::string>{"", "", "all other values"}));
  EXPECT_NE(twice.Failure().find("listed"), std::string::npos) << twice.Failure();
}

TEST(QgisRenderer, RangesBecomeBreaksThatMustFollowOneAnother) {
  const Read read(R"(<renderer-v2 type="graduatedSymbol" attr="pop"><ranges>
      <range lower="0.000000000000000" upper="1000000.000000000000000" label="small"/>
      <range lower="1000000.000000000000000" upper="2500000.500000000000000" label="big"/>
    </ranges></renderer-v2>)");
  EXPECT_EQ(read.Stands(),
            (std::vector<std::string>{"0 to 1000000", "above 1000000 to 2500000.5"}));

  const std::pair<std::string, std::string> faults[] = {
      {R"(<range lower="0" upper="10" label="a"/><range lower="12" upper="20" label="b"/>)",
       "range 2 starts at 12 but range 1 ends at 10; quillet labels ranges that follow one another "
       "without gaps"},
      {R"(<range lower="10" upper="0" label="a"/>)", "range 1 runs from 10 down to 0"},
      {R"(<range lower="0" upper="ten" label="a"/>)",
       "range 1 has the upper bound \"ten\", which is not a number"}};
  for (const auto& [ranges, message] : faults)
    EXPECT_EQ(Read(R"(<renderer-v2 type="graduatedSymbol" attr="p"><ranges>)" + ranges +
                   "</ranges></renderer-v2>")
                  .Failure(),
              message);

  const Read fieldless(R"(<renderer-v2 type="graduatedSymbol" attr=""><ranges>
      <range lower="0" upper="10" label="a"/></ranges></renderer-v2>)");
  EXPECT_EQ(test::Why([&] { fieldless.renderer.Make("", nullptr); }),
            "the renderer has no field to classify by (its attr is empty); choose one in the "
            "layer's symbology in QGIS");
}

}  // namespace
}  // namespace quillet::qgis
