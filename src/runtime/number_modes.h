#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::runtime {

// The regional number and currency modes as pictures: "1.1" stands for the number, "$" for
// the currency symbol, "-" for the minus sign. Index = the mode's number.

/// Negative numbers: 0 `(1.1)`, 1 `-1.1`, 2 `- 1.1`, 3 `1.1-`, 4 `1.1 -`.
inline constexpr std::array<std::string_view, 5> kNegativeNumberPictures = {
    "(1.1)", "-1.1", "- 1.1", "1.1-", "1.1 -"};

/// Positive currency: 0 `$1.1`, 1 `1.1$`, 2 `$ 1.1`, 3 `1.1 $`.
inline constexpr std::array<std::string_view, 4> kPositiveCurrencyPictures = {"$1.1", "1.1$",
                                                                              "$ 1.1", "1.1 $"};

/// Negative currency, modes 0 to 15.
inline constexpr std::array<std::string_view, 16> kNegativeCurrencyPictures = {
    "($1.1)", "-$1.1",  "$-1.1",  "$1.1-",  "(1.1$)", "-1.1$",  "1.1-$",   "1.1$-",
    "-1.1 $", "-$ 1.1", "1.1 $-", "$ 1.1-", "$ -1.1", "1.1- $", "($ 1.1)", "(1.1 $)"};

/// Whether a negative number that rounds to zero keeps its minus sign ("-0.00"), as the
/// runtime's formatting is taken to do. Section choice always looks at the unrounded value.
inline constexpr bool kRoundedZeroKeepsSign = true;

/// Whether a group separator follows the integer digit at `position` (0 = units) for groups of
/// `groupSize` digits, those left of the first group of `secondaryGroupSize` (0: the same).
bool IsGroupBoundary(int32_t position, int32_t groupSize, int32_t secondaryGroupSize);

/// Writes a picture with `number` for "1.1" and `symbol` for "$".
std::string ApplyPicture(std::string_view picture, std::string_view number,
                         std::string_view symbol);

}  // namespace quillet::runtime
