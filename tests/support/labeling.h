#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/quillet_state.h"
#include "expression/evaluate_expression.h"
#include "platform/builders/layer_builder.h"
#include "platform/layers/object_factory.h"
#include "platform/store/feature_store.h"
#include "quillet/message_sink.h"
#include "quillet/quillet.h"

namespace quillet::test {

/// The labels of a collection, in order.
inline std::vector<std::string> Items(const LabelCollection& labels) {
  return {labels.begin(), labels.end()};
}

/// A store to build layers in, and a `Quillet` bound to it whose message boxes are recorded.
struct Labeling {
  platform::FeatureStore store;
  std::shared_ptr<platform::ObjectFactory> factory = std::make_shared<platform::ObjectFactory>();
  std::shared_ptr<runtime::RecordingMessageSink> boxes =
      std::make_shared<runtime::RecordingMessageSink>();
  Quillet labeler{factory, boxes};

  /// `MakeLabels` with an expression the test does not need back.
  bool Make(const LayerPtr& layer, std::string expression) {
    return labeler.MakeLabels(layer, expression) != 0;
  }
  std::vector<std::string> Labels() { return Items(*labeler.Labels()); }
  /// The labels of a `MakeLabels` run that must succeed.
  std::vector<std::string> Made(const LayerPtr& layer, std::string expression) {
    EXPECT_TRUE(Make(layer, expression)) << expression << ": " << labeler.Message();
    return Labels();
  }
};

/// A layer that is no feature layer.
struct PlainLayer : gis::Layer {
  std::string Name() const override { return "plain"; }
};

/// A state bound to the embedded platform, for calling one routine on its own, holding
/// `expression` parsed.
inline QuilletState PlatformState(std::string expression = "") {
  QuilletState state;
  state.platform = std::make_shared<platform::ObjectFactory>();
  state.messages = std::make_shared<runtime::RecordingMessageSink>();
  if (!expression.empty())
    state.mExpressionParts = EvaluateExpression(expression, state.locale).Parts;
  return state;
}

/// Four parcels: TYPE A, B, A, C; POP 10, 20, null, 40; AREA 1.5, 2.5, 3, 4; BUILT a date
/// (null on the third). Sums a test can check by eye: POP 70 over all, 10 for A, 40 for C.
/// A store holds one table per name: a test that needs several parcel layers names them.
inline platform::LayerBuilder Parcels(platform::FeatureStore& store,
                                      const std::string& name = "parcels") {
  using platform::Cell;
  platform::LayerBuilder builder(store, name);
  builder.Field("TYPE", gis::kFieldString)
      .Field("POP", gis::kFieldInteger)
      .Field("AREA", gis::kFieldDouble)
      .Field("BUILT", gis::kFieldDate)
      .Rows({{"A", 10, 1.5, Cell::Date(2001, 3, 4)},
             {"B", 20, 2.5, Cell::Date(1999, 12, 31)},
             {"A", nullptr, 3.0, nullptr},
             {"C", 40, 4.0, Cell::Date(2010, 1, 1)}})
      .Category("Shapefile");
  return builder;
}

}  // namespace quillet::test
