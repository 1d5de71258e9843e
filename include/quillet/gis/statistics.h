#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/gis/cursor.h"
#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// Summary statistics of one numeric field over the rows of a cursor.
class StatisticsResults : public virtual Unknown {
 public:
  virtual double Minimum() const = 0;
  virtual double Maximum() const = 0;
  virtual double Sum() const = 0;
  virtual double Mean() const = 0;
  virtual double StandardDeviation() const = 0;
};

/// Computes `StatisticsResults`: set the sample rate, the field and the cursor, then read.
class DataStatistics : public virtual Unknown {
 public:
  /// -1 reads every row; see the platform for other rates.
  virtual void SetSampleRate(int32_t rate) = 0;
  virtual void SetField(const std::string& fieldName) = 0;
  virtual void SetCursor(std::shared_ptr<Cursor> cursor) = 0;
  /// Reads the cursor; fails when the field or the cursor is missing.
  virtual std::shared_ptr<StatisticsResults> Statistics() = 0;
};

}  // namespace quillet::gis
