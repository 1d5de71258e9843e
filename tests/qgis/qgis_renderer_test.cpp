#include "qgis/qgis_renderer.h"

#include <gtest/gtest.h>

#include "map/legend_entry.h"
#include "platform/renderers/foreign_renderer.h"
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
  std::vector<std::string> MadeLabels(const std::vector<std::string>* labels = nullptr) const {
    return map::RendererLabels(*renderer.Make("F", labels));
  }
  std::string Failure() const {
    return test::ErrorOf([&] { renderer.Make("F", nullptr); }).Description();
  }
};

TEST(QgisRenderer, CategoriesPutTheCatchAllLast) {
  const Read read(R"(<renderer-v2 type="categorizedSymbol" attr="continent"><categories>
      <category value="Africa" label="Af"/>
      <category value="" label="Rest"/>
      <category value="Asia" label="As"/>
      <category value="x" label="Merged"><val value="Europe" type="QString"/><val value="Oceania"/></category>
    </categories></renderer-v2>)");
  EXPECT_EQ(read.renderer.Kind(), "categorizedSymbol");
  EXPECT_EQ(read.renderer.Attribute(), "continent");
  EXPECT_TRUE(read.renderer.HoldsLabels());
  EXPECT_EQ(read.Stands(),
            (std::vector<std::string>{"Africa", "Asia", "Europe; Oceania", "all other values"}));
  EXPECT_EQ(read.MadeLabels(), (std::vector<std::string>{"Af", "As", "Merged", "Rest"}));
  const std::vector<std::string> labels{"1", "2", "3", "4"};
  EXPECT_EQ(read.MadeLabels(&labels), labels);
  const std::vector<std::string> short_{"1"};
  EXPECT_EQ(test::ErrorOf([&] { read.renderer.Make("F", &short_); }).Description(),
            "the legend has 4 entries, not 1");

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
  const auto breaks = gis::As<gis::ClassBreaksRenderer>(read.renderer.Make("pop", nullptr));
  ASSERT_TRUE(breaks);
  EXPECT_EQ(breaks->MinimumBreak(), 0);
  EXPECT_EQ(breaks->Break(1), 2500000.5);
  EXPECT_EQ(breaks->Label(0), "small");

  EXPECT_EQ(Read(R"(<renderer-v2 type="graduatedSymbol" attr="p"><ranges>
      <range lower="0" upper="10" label="a"/><range lower="12" upper="20" label="b"/>
    </ranges></renderer-v2>)")
                .Failure(),
            "range 2 starts at 12 but range 1 ends at 10; quillet labels ranges that follow one "
            "another without gaps");
  EXPECT_EQ(Read(R"(<renderer-v2 type="graduatedSymbol" attr="p"><ranges>
      <range lower="10" upper="0" label="a"/></ranges></renderer-v2>)")
                .Failure(),
            "range 1 runs from 10 down to 0");
  const Read wordy(R"(<renderer-v2 type="graduatedSymbol" attr="p"><ranges>
      <range lower="0" upper="ten" label="a"/></ranges></renderer-v2>)");
  EXPECT_EQ(wordy.Failure(), "range 1 has the upper bound \"ten\", which is not a number");
  EXPECT_EQ(wordy.Stands(), (std::vector<std::string>{"0 to ten"}));

  // Bounds that 15 significant digits round down become breaks just above them, so that a
  // feature on a bound stays in its range; others are kept as they are.
  const Read precise(R"(<renderer-v2 type="graduatedSymbol" attr="p"><ranges>
      <range lower="-9000000" upper="-3142892.097692828600000" label="a"/>
      <range lower="-3142892.097692828600000" upper="3142892.097692821600000" label="b"/>
      <range lower="3142892.097692821600000" upper="1e7" label="c"/>
    </ranges></renderer-v2>)");
  const auto rounded = gis::As<gis::ClassBreaksRenderer>(precise.renderer.Make("p", nullptr));
  ASSERT_TRUE(rounded);
  EXPECT_EQ(rounded->Break(0), -3142892.09769282);
  EXPECT_EQ(rounded->Break(1), 3142892.09769283);
  EXPECT_EQ(rounded->MinimumBreak(), -9000000);
  EXPECT_EQ(rounded->Break(2), 1e7);

  // Listed from the highest down (a QGIS legend action), the ranges make the same classes from
  // the lowest up, but a value on a shared bound is drawn by the range listed first: the upper.
  const Read descending(R"(<renderer-v2 type="graduatedSymbol" attr="p"><ranges>
      <range lower="100" upper="200" label="a"/><range lower="50" upper="100" label="b"/>
      <range lower="0" upper="50" label="c"/></ranges></renderer-v2>)");
  EXPECT_EQ(descending.renderer.LegendOrder(), (std::vector<size_t>{2, 1, 0}));
  EXPECT_EQ(descending.MadeLabels(), (std::vector<std::string>{"c", "b", "a"}));
  const auto down = gis::As<gis::ClassBreaksRenderer>(descending.renderer.Make("p", nullptr));
  EXPECT_EQ(down->Break(0), 49.9999999999999);
  EXPECT_EQ(down->Break(1), 99.9999999999999);
  EXPECT_EQ(down->Break(2), 200);

  // QGIS writes bounds with 15 decimals, which may cut off the extreme values, but it draws a
  // value within 4 epsilons of the outermost bounds too.
  const Read cut(R"(<renderer-v2 type="graduatedSymbol" attr="p"><ranges>
      <range lower="-0.289238805970149" upper="0.202803057881325" label="a"/>
      </ranges></renderer-v2>)");
  EXPECT_EQ(cut.renderer.LowestValue(), "-0.28923880597014989");
  EXPECT_EQ(gis::As<gis::ClassBreaksRenderer>(cut.renderer.Make("p", nullptr))->Break(0),
            0.202803057881326);
  EXPECT_EQ(read.renderer.LowestValue(), "-8.8817841970012523e-16");
  EXPECT_TRUE(QgisDoubleNear(-0.289238805970149, -0.2892388059701492));

  const Read fieldless(R"(<renderer-v2 type="graduatedSymbol" attr=""><ranges>
      <range lower="0" upper="10" label="a"/></ranges></renderer-v2>)");
  EXPECT_EQ(test::ErrorOf([&] { fieldless.renderer.Make("", nullptr); }).Description(),
            "the renderer has no field to classify by (its attr is empty); choose one in the "
            "layer's symbology in QGIS");
}

TEST(QgisRenderer, WrappersSingleSymbolsAndOtherKinds) {
  const Read cluster(R"(<renderer-v2 type="pointCluster"><renderer-v2 type="graduatedSymbol"
      attr="BIR74"><ranges><range lower="0" upper="5" label="few"/></ranges></renderer-v2>
      </renderer-v2>)");
  EXPECT_EQ(cluster.renderer.Kind(), "pointCluster of graduatedSymbol");
  const auto bivariate = gis::As<gis::BivariateRenderer>(cluster.renderer.Make("BIR74", nullptr));
  ASSERT_TRUE(bivariate);
  EXPECT_TRUE(gis::Is<gis::ClassBreaksRenderer>(bivariate->MainRenderer()));
  EXPECT_EQ(cluster.MadeLabels(), (std::vector<std::string>{"few"}));

  const Read single(R"(<renderer-v2 type="singleSymbol"/>)");
  EXPECT_FALSE(single.renderer.HoldsLabels());
  EXPECT_EQ(single.Stands(), (std::vector<std::string>{"all features"}));
  EXPECT_TRUE(gis::Is<gis::SimpleRenderer>(single.renderer.Make("", nullptr)));

  const Read merged(R"(<renderer-v2 type="mergedFeatureRenderer"><renderer-v2
      type="singleSymbol"/></renderer-v2>)");
  EXPECT_EQ(merged.renderer.Kind(), "mergedFeatureRenderer of singleSymbol");
  EXPECT_TRUE(gis::Is<gis::SimpleRenderer>(
      gis::As<gis::BivariateRenderer>(merged.renderer.Make("", nullptr))->MainRenderer()));

  for (const char* xml : {R"(<renderer-v2 type="RuleRenderer"/>)",
                          R"(<renderer-v2 type="invertedPolygonRenderer"/>)"}) {
    const Read other(xml);
    EXPECT_FALSE(other.renderer.HoldsLabels()) << xml;
    const auto made = other.renderer.Make("", nullptr);
    EXPECT_FALSE(gis::Is<gis::SimpleRenderer>(made) || gis::Is<gis::RendererClasses>(made)) << xml;
  }
  EXPECT_EQ(Read(R"(<renderer-v2 type="invertedPolygonRenderer"/>)").renderer.Kind(),
            "invertedPolygonRenderer without a renderer");
}

}  // namespace
}  // namespace quillet::qgis
