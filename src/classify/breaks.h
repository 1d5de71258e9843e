#pragma once

#include <string>
#include <vector>

namespace quillet::classify {

// Class breaks of a numeric field as QGIS computes them for a graduated renderer: each method
// gives the upper bound of every class from the lowest up (the last is the field's maximum, or
// above it for pretty breaks); the first class starts at the field's minimum.

/// Quantiles (QGIS's "Equal Count"): the values interpolated at i/classes of the way through
/// the sorted values.
std::vector<double> QuantileBreaks(std::vector<double> values, int classes);

/// Equal intervals of the range from `minimum` to `maximum`; the last break is the maximum.
std::vector<double> EqualIntervalBreaks(double minimum, double maximum, int classes);

/// Jenks natural breaks: the classes that least vary inside, found by Fisher's exact method
/// over the sorted values, or over 3000 of them spread evenly through a longer list.
std::vector<double> JenksBreaks(std::vector<double> values, int classes);

/// About `classes` round breaks (1, 2 or 5 times a power of ten) over the range, as R's pretty;
/// the outermost are moved in to the minimum and maximum.
std::vector<double> PrettyBreaks(double minimum, double maximum, int classes);

/// Breaks at round numbers of (population) standard deviations from the mean: pretty breaks
/// of the standardised range, kept only where QGIS keeps them (balanced around the mean);
/// `mean` and `deviation` receive what they are measured by.
std::vector<double> StandardDeviationBreaks(const std::vector<double>& values, int classes,
                                            double& mean, double& deviation);

/// A range's label in QGIS's default style: "%1 - %2", each bound with 4 decimals and the
/// trailing zeros (and a bare decimal point) trimmed, "-0" written "0".
std::string RangeLabel(double lower, double upper);

/// A number of standard deviations as QGIS labels them: " 1.50 Std Dev" (with its space).
std::string DeviationsLabel(double deviations);

}  // namespace quillet::classify
