#include "platform/tables/statistics.h"

#include <cmath>

#include "platform/tables/cursor.h"
#include "quillet/error.h"

namespace quillet::platform {
namespace {

// Reads the numbers of one field from the rows of a cursor. The cursor's own query could
// answer the same five values with one SQL aggregate; this is the step to swap when a
// faster path is wanted for fresh platform cursors.
RunningStatistics ReadNumbers(gis::Cursor& cursor, int32_t fieldIndex, const std::string& field,
                              int32_t sampleRate) {
  RunningStatistics statistics;
  const int64_t step = sampleRate >= 2 ? sampleRate : 1;
  int64_t rowNumber = 0;
  while (const auto row = cursor.NextRow()) {
    if (rowNumber++ % step != 0) continue;
    const runtime::Variant value = row->Value(fieldIndex);
    if (value.IsNull()) continue;
    if (!value.IsNumber())
      throw runtime::Error::Platform("Statistics need numbers, but field " + field + " holds a " +
                                     runtime::KindName(value.Kind()));
    statistics.Add(value.NumericValue());
  }
  return statistics;
}

}  // namespace

void RunningStatistics::Add(double value) {
  if (mCount == 0) {
    mMinimum = value;
    mMaximum = value;
  } else {
    mMinimum = std::fmin(mMinimum, value);
    mMaximum = std::fmax(mMaximum, value);
  }
  ++mCount;
  mSum += value;
  const double distance = value - mMean;
  mMean += distance / static_cast<double>(mCount);
  mSquaredDistances += distance * (value - mMean);
}

double RunningStatistics::StandardDeviation() const {
  if (mCount == 0) return 0;
  return std::sqrt(std::fmax(0, mSquaredDistances) / static_cast<double>(mCount));
}

void DataStatistics::SetSampleRate(int32_t rate) {
  mSampleRate = rate;
  mResults.reset();
}

void DataStatistics::SetField(const std::string& fieldName) {
  mField = fieldName;
  mResults.reset();
}

void DataStatistics::SetCursor(std::shared_ptr<gis::Cursor> cursor) {
  mCursor = std::move(cursor);
  mResults.reset();
}

std::shared_ptr<gis::StatisticsResults> DataStatistics::Statistics() {
  if (mResults) return mResults;
  if (mField.empty()) throw runtime::Error::Platform("The statistics have no field");
  if (!mCursor) throw runtime::Error::Platform("The statistics have no cursor");
  auto* cursor = dynamic_cast<platform::Cursor*>(mCursor.get());
  if (!cursor) throw runtime::Error::Platform("The statistics read only cursors of this platform");
  const int32_t index = cursor->Table().FindField(mField);
  if (index < 0)
    throw runtime::Error::Platform("The statistics field " + mField +
                                   " is not in the cursor's table");
  mResults = std::make_shared<StatisticsResults>(ReadNumbers(*cursor, index, mField, mSampleRate));
  return mResults;
}

}  // namespace quillet::platform
