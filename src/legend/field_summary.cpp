#include "legend/field_summary.h"

#include <cmath>
#include <cstdint>

#include "expression/statement_vocabulary.h"
#include "quillet/error.h"
#include "quillet/gis/field.h"
#include "runtime/numeric.h"

namespace quillet {

using runtime::Variant;

ClassSummary::ClassSummary() {
  Fields.Add(FieldSummary(), "Skipped");
}

DistinctFieldNames CollectFieldNames(const QuilletState& state) {
  DistinctFieldNames names;
  for (const ExpressionPart& part : state.mExpressionParts) {
    if (part.Kind != PartKind::kField) continue;
    if (!names.Contains(part.Value)) names.Add(part.Value, part.Value);
  }
  return names;
}

namespace {

std::shared_ptr<gis::Cursor> OpenCursor(gis::Table& table,
                                        const gis::FeatureLayerDefinition& definition,
                                        const gis::QueryFilter& filter) {
  if (auto selection = definition.DefinitionSelectionSet()) return selection->Search(&filter, true);
  return table.Search(&filter, true);
}

Variant CountValue(int32_t count) {
  return count <= 32767 ? Variant::Integer(static_cast<int16_t>(count)) : Variant::Long(count);
}

void AddStatistics(const QuilletState& state, gis::Table& table, const gis::QueryFilter& filter,
                   const Variant& sampleRate, const std::string& name, FieldSummary& summary) {
  auto statistics = state.platform->CreateDataStatistics();
  statistics->SetSampleRate(runtime::ToLong(sampleRate, state.locale));
  statistics->SetField(name);
  statistics->SetCursor(table.Search(&filter, true));
  const auto result = statistics->Statistics();
  summary.Add(Variant::Double(result->Maximum()), "Maximum");
  summary.Add(Variant::Double(result->Mean()), "Average");
  summary.Add(Variant::Double(result->Minimum()), "Minimum");
  summary.Add(Variant::Double(result->StandardDeviation()), "StdDev");
  summary.Add(Variant::Double(result->Sum()), "Sum");
  try {
    summary.Add(Variant::Double(std::pow(result->StandardDeviation(), 2)), "Variance");
  } catch (const runtime::Error&) {
    // A variance that cannot be added leaves the other eight values standing.
  }
}

}  // namespace

bool SummarizeFields(const QuilletState& state, gis::Table& table,
                     const gis::FeatureLayerDefinition& definition, const gis::QueryFilter& filter,
                     const Variant& sampleRate, const DistinctFieldNames& names,
                     FieldSummaries& summaries, EmptySelection onEmpty) {
  for (const std::string& name : names) {
    const int32_t index = table.FindField(name);
    FieldSummary summary;
    auto cursor = OpenCursor(table, definition, filter);
    auto row = cursor->NextRow();
    if (!row && onEmpty == EmptySelection::kSkipClass) return false;
    Variant first;
    Variant last;
    int32_t count = 0;
    for (; row; row = cursor->NextRow()) {
      last = row->Value(index);
      if (count == 0) first = last;
      ++count;
    }
    summary.Add(first, "First");
    summary.Add(last, "Last");
    summary.Add(CountValue(count), "Count");
    if (gis::IsNumericFieldType(table.Fields()->Field(index)->Type())) {
      AddStatistics(state, table, filter, sampleRate, name, summary);
    } else {
      // A text or date field has no statistics: the summaries that need numbers read 0.
      for (const StatementKeyword& statement : StatementKeywords())
        if (statement.Kind == StatementKind::kSummary && statement.Operands == Operand::kNumbers)
          summary.Add(Variant::Integer(0), statement.Name);
    }
    summaries.Add(std::move(summary), name);
  }
  return true;
}

}  // namespace quillet
