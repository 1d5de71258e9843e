#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/parsed_expression.h"
#include "quillet/com_bool.h"
#include "quillet/gis/object_factory.h"
#include "quillet/label_collection.h"
#include "quillet/locale.h"
#include "quillet/message_sink.h"
#include "quillet/variant.h"

namespace quillet {

/// The state of one `Quillet` object: its member variables in their declaration order, with
/// their initial values, and the services and locale the host bound it to. `Quillet` owns it and
/// alone writes it; the label makers read it.
struct QuilletState {
  /// The text of the last failure or status message; read through `Message`.
  std::string mMessage;
  /// The parsed expression that the expression parser leaves for the label makers.
  ExpressionParts mExpressionParts;
  /// The labels of the last label run; created on first use.
  std::shared_ptr<LabelCollection> mLabels;
  /// The labels that stood in the renderer when `SetLabels` first recorded them.
  std::shared_ptr<LabelCollection> mOriginalLabels;
  /// Whether the last verification or label run succeeded; gates `Labels`/`OriginalLabels`.
  bool mLabelsValid = true;
  /// Set when a label run left a legend entry out; never set back.
  bool mSkippedLegendItems = false;
  /// The label of the last sample run.
  runtime::Variant mSampleLabel = runtime::Variant::String("");
  // The switches keep the 16-bit Boolean exactly as the host set it; any non-zero is true.
  runtime::ComBool mApplyDefinitionQuery = runtime::kComTrue;
  runtime::ComBool mApplySelectionSet = runtime::kComFalse;
  runtime::ComBool mShowMessages = runtime::kComFalse;
  runtime::ComBool mUpdateAllOtherValues = runtime::kComTrue;
  /// The layer's attribute table is a join of tables.
  bool mHasJoin = false;
  /// The category text of the layer's data source.
  std::string mDataSourceType;
  /// Put around field names in attribute queries: plain table, then joined table.
  std::string mFieldPrefix = "\"";
  std::string mFieldSuffix = "\"";
  std::string mJoinFieldPrefix;
  std::string mJoinFieldSuffix;
  /// `WrapTextIfLongerThan`; above 0 turns wrapping on.
  int16_t mWrapLength = 0;

  /// Creates query filters and statistics on the platform the layers come from.
  std::shared_ptr<gis::ObjectFactory> platform;
  /// Where message boxes go.
  std::shared_ptr<runtime::MessageSink> messages;
  /// How numbers and dates are written and read: in labels, in the breaks of attribute
  /// queries, in numeric arguments.
  runtime::Locale locale;
  /// What made the last label run fail underneath `mMessage`, for hosts (`Quillet::Cause`).
  std::string cause;

  /// A new query filter of the platform, which reads numbers in `locale` where it can.
  std::shared_ptr<gis::QueryFilter> CreateQueryFilter() const;

  /// `mLabels`, created empty on first use.
  LabelCollection& Labels();
  /// `mOriginalLabels`, created empty on first use.
  LabelCollection& OriginalLabels();
};

}  // namespace quillet
