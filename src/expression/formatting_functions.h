#pragma once

#include "quillet/locale.h"
#include "quillet/variant.h"

namespace quillet::formatting {

// The formatting functions of label expressions, each on a value and its two arguments ("" when
// the statement has fewer) in a locale. Each may throw a runtime error; the applier then keeps
// the value it had. Text functions work on the value's ordinary text form; Null has none.

runtime::Variant Abs(const runtime::Variant& value, const runtime::Variant&,
                     const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant FormatCurrency(const runtime::Variant& value, const runtime::Variant&,
                                const runtime::Variant&, const runtime::Locale& locale);
/// Weeks start on Sunday; week 1 holds 1 January.
runtime::Variant Format(const runtime::Variant& value, const runtime::Variant& pattern,
                        const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant FormatNumber(const runtime::Variant& value, const runtime::Variant& digits,
                              const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant LCase(const runtime::Variant& value, const runtime::Variant&,
                       const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant Left(const runtime::Variant& value, const runtime::Variant& length,
                      const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant LTrim(const runtime::Variant& value, const runtime::Variant&,
                       const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant Mid(const runtime::Variant& value, const runtime::Variant& start,
                     const runtime::Variant& length, const runtime::Locale& locale);
/// Letter case ignored in the search. Fails when the text would grow beyond `kLongestLabel`
/// characters.
runtime::Variant Replace(const runtime::Variant& value, const runtime::Variant& find,
                         const runtime::Variant& replacement, const runtime::Locale& locale);
runtime::Variant Right(const runtime::Variant& value, const runtime::Variant& length,
                       const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant Round(const runtime::Variant& value, const runtime::Variant& digits,
                       const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant RTrim(const runtime::Variant& value, const runtime::Variant&,
                       const runtime::Variant&, const runtime::Locale& locale);
/// Every character followed by `count` blanks, the last one too. Fails when that is more than
/// `kLongestLabel` characters.
runtime::Variant Spaces(const runtime::Variant& value, const runtime::Variant& count,
                        const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant TCase(const runtime::Variant& value, const runtime::Variant&,
                       const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant Trim(const runtime::Variant& value, const runtime::Variant&,
                      const runtime::Variant&, const runtime::Locale& locale);
runtime::Variant UCase(const runtime::Variant& value, const runtime::Variant&,
                       const runtime::Variant&, const runtime::Locale& locale);

}  // namespace quillet::formatting
