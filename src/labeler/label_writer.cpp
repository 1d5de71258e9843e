#include "labeler/label_writer.h"

#include <string>

#include "core/markers.h"
#include "runtime/case.h"

namespace quillet {
namespace {

using gis::As;
using gis::Require;
using RendererPtr = std::shared_ptr<gis::FeatureRenderer>;

bool IsSkipped(const LabelCollection& labels, int32_t legendIndex) {
  return runtime::EqualsIgnoreCase(labels.Item(legendIndex + 1), kSkippedMarker);
}

// Records the renderer's `count` labels as the originals, the first time only.
template <typename LabelOf>
void RecordOriginals(QuilletState& state, int32_t count, LabelOf labelOf) {
  LabelCollection& originals = state.OriginalLabels();
  if (originals.Count() != 0) return;
  for (int32_t i = 0; i < count; ++i)
    originals.Add(labelOf(i));
}

void WriteUniqueValueLabels(QuilletState& state, const RendererPtr& renderer) {
  auto values = Require<gis::UniqueValueRenderer>(renderer);
  auto classes = Require<gis::RendererClasses>(renderer);
  RecordOriginals(state, classes->ClassCount(), [&](int32_t i) { return classes->Class(i); });
  LabelCollection& labels = state.Labels();
  for (int32_t i = 0; i < classes->ClassCount(); ++i) {
    if (!IsDefaultClass(*values, *classes, i)) {
      const std::string value = values->Value(i);
      if (!IsSkipped(labels, i)) values->SetLabel(value, labels.Item(i + 1));
    } else if (state.mUpdateAllOtherValues && !IsSkipped(labels, i)) {
      values->SetDefaultLabel(labels.Item(i + 1));
    }
  }
}

void WriteClassBreaksLabels(QuilletState& state, const RendererPtr& renderer) {
  auto breaks = Require<gis::ClassBreaksRenderer>(renderer);
  RecordOriginals(state, breaks->BreakCount(), [&](int32_t i) { return breaks->Label(i); });
  LabelCollection& labels = state.Labels();
  for (int32_t i = 0; i < breaks->BreakCount(); ++i) {
    if (!IsSkipped(labels, i)) breaks->SetLabel(i, labels.Item(i + 1));
  }
}

void RestoreUniqueValueLabels(QuilletState& state, const RendererPtr& renderer) {
  auto values = Require<gis::UniqueValueRenderer>(renderer);
  auto classes = Require<gis::RendererClasses>(renderer);
  const LabelCollection& originals = state.OriginalLabels();
  for (int32_t i = 0; i < classes->ClassCount(); ++i) {
    if (IsDefaultClass(*values, *classes, i)) {
      values->SetDefaultLabel(originals.Item(i + 1));
    } else {
      values->SetLabel(values->Value(i), originals.Item(i + 1));
    }
  }
}

void RestoreClassBreaksLabels(QuilletState& state, const RendererPtr& renderer) {
  auto breaks = Require<gis::ClassBreaksRenderer>(renderer);
  const LabelCollection& originals = state.OriginalLabels();
  for (int32_t i = 0; i < breaks->BreakCount(); ++i)
    breaks->SetLabel(i, originals.Item(i + 1));
}

// Both directions walk the renderer kinds in one order: simple, unique value, class breaks,
// bivariate (through its main renderer, then a legend rebuild); other kinds are left alone.
template <typename Simple, typename UniqueValue, typename ClassBreaks>
void ForRenderer(const std::shared_ptr<gis::Layer>& layer, Simple simple, UniqueValue uniqueValue,
                 ClassBreaks classBreaks) {
  const RendererPtr renderer = Require<gis::GeoFeatureLayer>(layer)->Renderer();
  if (auto single = As<gis::SimpleRenderer>(renderer)) {
    simple(*single);
  } else if (gis::Is<gis::UniqueValueRenderer>(renderer)) {
    uniqueValue(renderer);
  } else if (gis::Is<gis::ClassBreaksRenderer>(renderer)) {
    classBreaks(renderer);
  } else if (auto bivariate = As<gis::BivariateRenderer>(renderer)) {
    const RendererPtr main = bivariate->MainRenderer();
    if (gis::Is<gis::UniqueValueRenderer>(main)) {
      uniqueValue(main);
    } else if (gis::Is<gis::ClassBreaksRenderer>(main)) {
      classBreaks(main);
    }
    bivariate->CreateLegend();
  }
}

}  // namespace

void WriteLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer) {
  ForRenderer(
      pLayer,
      [&](gis::SimpleRenderer& simple) {
        RecordOriginals(state, 1, [&](int32_t) { return simple.Label(); });
        simple.SetLabel(state.Labels().Item(1));
      },
      [&](const RendererPtr& renderer) { WriteUniqueValueLabels(state, renderer); },
      [&](const RendererPtr& renderer) { WriteClassBreaksLabels(state, renderer); });
}

void RestoreLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer) {
  ForRenderer(
      pLayer, [&](gis::SimpleRenderer& simple) { simple.SetLabel(state.OriginalLabels().Item(1)); },
      [&](const RendererPtr& renderer) { RestoreUniqueValueLabels(state, renderer); },
      [&](const RendererPtr& renderer) { RestoreClassBreaksLabels(state, renderer); });
}

}  // namespace quillet
