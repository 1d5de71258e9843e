#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/gis/statistics.h"

namespace quillet::platform {

/// Minimum, maximum, sum, mean and population standard deviation of a stream of numbers,
/// kept in one pass (Welford's update for the deviation, so large values lose no precision).
class RunningStatistics {
 public:
  void Add(double value);

  int64_t Count() const { return mCount; }
  /// Each of these is 0 while no number was added.
  double Minimum() const { return mMinimum; }
  double Maximum() const { return mMaximum; }
  double Sum() const { return mSum; }
  double Mean() const { return mMean; }
  /// The population standard deviation: the square root of the mean squared distance from the
  /// mean (divided by n, not n - 1). One number gives 0.
  double StandardDeviation() const;

 private:
  int64_t mCount = 0;
  double mMinimum = 0;
  double mMaximum = 0;
  double mSum = 0;
  double mMean = 0;
  double mSquaredDistances = 0;
};

/// The five results, fixed when computed.
class StatisticsResults : public virtual gis::StatisticsResults {
 public:
  explicit StatisticsResults(const RunningStatistics& statistics) : mStatistics(statistics) {}
  double Minimum() const override { return mStatistics.Minimum(); }
  double Maximum() const override { return mStatistics.Maximum(); }
  double Sum() const override { return mStatistics.Sum(); }
  double Mean() const override { return mStatistics.Mean(); }
  double StandardDeviation() const override { return mStatistics.StandardDeviation(); }

 private:
  RunningStatistics mStatistics;
};

/// Statistics of one numeric field over the rows of a cursor of this platform.
///
/// - Nulls are skipped; a set without numbers (no rows, or only nulls) gives 0 for all five.
/// - The standard deviation is the population one (divided by n).
/// - Sample rate: -1, and any rate below 2, reads every row. A rate r of 2 or more reads the
///   rows 1, 1 + r, 1 + 2r, ... of the cursor (the first row and every r-th after it); the
///   skipped rows count toward the step whether or not they hold a null.
/// - The cursor must come from a search of this platform (it names the field); the field must
///   be one of its table's fields, and every value read must be a number or null.
///
/// The results are computed on the first `Statistics()` call, which reads the cursor to its
/// end, and kept until the rate, the field or the cursor changes.
class DataStatistics : public virtual gis::DataStatistics {
 public:
  void SetSampleRate(int32_t rate) override;
  void SetField(const std::string& fieldName) override;
  void SetCursor(std::shared_ptr<gis::Cursor> cursor) override;
  /// Fails with a platform error when the field or the cursor is missing or unsuitable.
  std::shared_ptr<gis::StatisticsResults> Statistics() override;

 private:
  int32_t mSampleRate = -1;
  std::string mField;
  std::shared_ptr<gis::Cursor> mCursor;
  std::shared_ptr<gis::StatisticsResults> mResults;
};

}  // namespace quillet::platform
