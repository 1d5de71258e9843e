#pragma once

#include <memory>
#include <string>

#include "core/quillet_state.h"
#include "quillet/collection.h"
#include "quillet/gis/layer.h"
#include "quillet/gis/table.h"
#include "quillet/variant.h"

namespace quillet {

/// The fields an expression names, each under itself as key (so [Pop] and [POP] are one
/// field, spelled as first met), in order of first appearance.
using DistinctFieldNames = runtime::Collection<std::string>;

/// The nine summary values of one field over one set of features, keyed "First", "Last",
/// "Count", "Maximum", "Average", "Minimum", "StdDev", "Sum" and "Variance" (any case).
using FieldSummary = runtime::Collection<runtime::Variant>;

/// One `FieldSummary` per distinct field, keyed by the field name.
using FieldSummaries = runtime::Collection<FieldSummary>;

/// The summaries of one legend class and whether its query found no feature. The skip flag
/// shares its key with the field names, so a field called "Skipped" collides with it.
struct ClassSummary {
  ClassSummary();
  bool Skipped = false;
  FieldSummaries Fields;
};

/// The class-based makers key their classes by value text or break text.
using ClassSummaries = runtime::Collection<ClassSummary>;

/// The distinct field names of `mExpressionParts`.
DistinctFieldNames CollectFieldNames(const QuilletState& state);

/// What `SummarizeFields` does when a field's query selects no feature.
enum class EmptySelection {
  kSummarize,  ///< summarise anyway: Count 0, First and Last empty
  kSkipClass,  ///< stop and report the class as skipped
};

/// Summarises every named field of `table` over the rows that `filter` selects (from the
/// layer's definition selection set when it has one) into `summaries`. Numeric fields read a
/// second cursor, always over the table, for the platform's statistics at `sampleRate`.
/// Returns false when the class was skipped. Throws on any platform failure.
bool SummarizeFields(const QuilletState& state, gis::Table& table,
                     const gis::FeatureLayerDefinition& definition, const gis::QueryFilter& filter,
                     const runtime::Variant& sampleRate, const DistinctFieldNames& names,
                     FieldSummaries& summaries, EmptySelection onEmpty);

}  // namespace quillet
