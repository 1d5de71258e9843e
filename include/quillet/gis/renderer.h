#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/gis/table.h"
#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// The root of every renderer. A renderer offers one or more of the roles below.
class FeatureRenderer : public virtual Unknown {};

/// One symbol for every feature; the legend has one entry.
class SimpleRenderer : public virtual FeatureRenderer {
 public:
  virtual std::string Label() const = 0;
  virtual void SetLabel(const std::string& label) = 0;
};

/// One symbol per listed value (or combination of values of several fields, joined by the
/// field delimiter), optionally a default symbol for every other value.
class UniqueValueRenderer : public virtual FeatureRenderer {
 public:
  virtual int32_t FieldCount() const = 0;
  virtual std::string Field(int32_t index) const = 0;
  virtual std::string FieldDelimiter() const = 0;
  virtual bool UseDefaultSymbol() const = 0;
  virtual int32_t ValueCount() const = 0;
  /// The text of value `index`.
  virtual std::string Value(int32_t index) const = 0;
  /// The label of the class that a listed value belongs to; an unlisted value fails.
  virtual std::string Label(const std::string& value) const = 0;
  virtual void SetLabel(const std::string& value, const std::string& label) = 0;
  virtual std::string DefaultLabel() const = 0;
  virtual void SetDefaultLabel(const std::string& label) = 0;
};

/// Ranges of one numeric field divided by break values: class i holds the values above break
/// i - 1 up to and including break i.
class ClassBreaksRenderer : public virtual FeatureRenderer {
 public:
  virtual std::string Field() const = 0;
  virtual int32_t BreakCount() const = 0;
  virtual double MinimumBreak() const = 0;
  virtual double Break(int32_t index) const = 0;
  virtual std::string Label(int32_t index) const = 0;
  virtual void SetLabel(int32_t index, const std::string& label) = 0;
};

/// A main renderer that gives the legend its classes, plus a second one that varies the
/// symbols; the legend is rebuilt from both after a change.
class BivariateRenderer : public virtual FeatureRenderer {
 public:
  virtual std::shared_ptr<FeatureRenderer> MainRenderer() const = 0;
  virtual std::shared_ptr<FeatureRenderer> SecondRenderer() const = 0;
  virtual void CreateLegend() = 0;
};

/// A renderer's legend classes in legend order; with a default symbol the default class is
/// last.
class RendererClasses : public virtual Unknown {
 public:
  virtual int32_t ClassCount() const = 0;
  /// The label of class `index`.
  virtual std::string Class(int32_t index) const = 0;
  /// The where clause that selects the features of class `index` from `table`.
  virtual std::string WhereClause(int32_t index, const Table& table) const = 0;
};

}  // namespace quillet::gis
