#include "core/markers.h"
#include "legend/assemble_label.h"
#include "legend/field_summary.h"
#include "legend/label_makers.h"
#include "runtime/case.h"
#include "runtime/text_form.h"

namespace quillet {
namespace {

using gis::As;
using gis::Require;
using Text = std::optional<std::string>;

bool IsLabel(const std::string& pseudoField) {
  return runtime::EqualsIgnoreCase(pseudoField, kLabelPseudoField);
}

// In sample mode the pseudo-fields show the first legend entry of whatever the renderer is.
LegendResolver SampleResolver(const std::shared_ptr<gis::FeatureRenderer>& renderer,
                              const runtime::Locale& locale) {
  if (auto simple = As<gis::SimpleRenderer>(renderer)) {
    return [simple](const std::string& name) -> Text {
      if (IsLabel(name)) return simple->Label();
      return std::nullopt;
    };
  }
  if (auto values = As<gis::UniqueValueRenderer>(renderer)) {
    return [values, renderer](const std::string& name) -> Text {
      if (IsLabel(name)) return Require<gis::RendererClasses>(renderer)->Class(0);
      return values->Value(0);
    };
  }
  if (auto breaks = As<gis::ClassBreaksRenderer>(renderer)) {
    return [breaks, renderer, &locale](const std::string& name) -> Text {
      if (IsLabel(name)) return Require<gis::RendererClasses>(renderer)->Class(0);
      return runtime::ToText(runtime::Variant::Double(breaks->Break(0)), locale);
    };
  }
  return [](const std::string&) -> Text { return std::nullopt; };
}

}  // namespace

LabelRun MakeSimpleRendererLabel(const QuilletState& state,
                                 const std::shared_ptr<gis::Layer>& pLayer,
                                 const runtime::Variant& pSampleRate, bool pSampleOnly) {
  return RunLabelMaker("Unknown Error in MakeSimpleRendererLabel!", [&](LabelRun& run) {
    const DistinctFieldNames names = CollectFieldNames(state);
    auto geoLayer = Require<gis::GeoFeatureLayer>(pLayer);
    auto featureLayer = Require<gis::FeatureLayer>(pLayer);
    auto definition = Require<gis::FeatureLayerDefinition>(pLayer);
    std::shared_ptr<gis::Table> table = featureLayer->FeatureClass();
    auto displayTable = Require<gis::DisplayTable>(pLayer);
    if (state.mHasJoin) table = displayTable->DisplayedTable();
    const auto renderer = geoLayer->Renderer();

    auto filter = state.CreateQueryFilter();
    filter->SetWhereClause(state.mApplyDefinitionQuery ? definition->DefinitionExpression() : "");
    FieldSummaries summaries;
    SummarizeFields(state, *table, *definition, *filter, pSampleRate, names, summaries,
                    EmptySelection::kSummarize);

    LegendResolver resolver;
    if (pSampleOnly) {
      resolver = SampleResolver(renderer, state.locale);
    } else {
      auto simple = Require<gis::SimpleRenderer>(renderer);
      resolver = [simple](const std::string& name) -> Text {
        if (IsLabel(name)) return simple->Label();
        return std::nullopt;
      };
    }
    const std::string label = AssembleLabel(state, summaries, resolver);

    run.Labels = std::make_shared<LabelCollection>();
    if (pSampleOnly) {
      run.SampleLabel = runtime::Variant::String(label);
    } else {
      run.Labels->Add(label);
    }
    return true;
  });
}

}  // namespace quillet
