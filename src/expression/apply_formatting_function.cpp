#include "expression/apply_formatting_function.h"

#include <array>
#include <string_view>

#include "runtime/case.h"
#include "runtime/error.h"
#include "runtime/format.h"
#include "runtime/math_functions.h"
#include "runtime/number_format.h"
#include "runtime/numeric.h"
#include "runtime/string_functions.h"
#include "runtime/text_form.h"
#include "runtime/utf8.h"

namespace quillet {
namespace {

using runtime::Variant;

// A formatting function's work on a value; it may throw, the caller then keeps the value.
using Handler = Variant (*)(const Variant& value, const Variant& argument1,
                            const Variant& argument2);

struct FormattingFunction {
  std::string_view name;
  bool numericOnly;  // other values pass unchanged
  Handler apply;
};

// The text a text function works on: the value's ordinary text form. Null has none.
std::string TextOf(const Variant& value) {
  if (value.IsNull()) throw runtime::Error::InvalidUseOfNull();
  return runtime::ToText(value);
}

int32_t WholeOf(const Variant& argument) {
  return runtime::ToLong(argument);
}

// Every character followed by `count` blanks, the last one too.
Variant Spaces(const Variant& value, const Variant& argument1, const Variant&) {
  const std::string text = TextOf(value);
  const int32_t count = WholeOf(argument1);
  if (count <= 0) return text;
  const std::u32string characters = runtime::ToCodePoints(text);
  // The runtime's strings hold at most 2^31 - 1 characters.
  if (characters.size() * (static_cast<size_t>(count) + 1) > 0x7FFFFFFFu)
    throw runtime::Error::Overflow();
  std::string out;
  for (char32_t c : characters) {
    runtime::AppendUtf8(out, c);
    out.append(static_cast<size_t>(count), ' ');
  }
  return out;
}

// In the order the names are tried.
constexpr std::array<FormattingFunction, 16> kFormattingFunctions = {{
    {"Abs", true, [](const Variant& v, const Variant&, const Variant&) { return runtime::Abs(v); }},
    {"FormatCurrency", true,
     [](const Variant& v, const Variant&, const Variant&) {
       return Variant(runtime::FormatCurrency(v));
     }},
    {"Format", false,
     [](const Variant& v, const Variant& pattern, const Variant&) {
       // Weeks start on Sunday; week 1 holds 1 January.
       return runtime::Format(v, TextOf(pattern), 1, 1);
     }},
    {"FormatNumber", true,
     [](const Variant& v, const Variant& digits, const Variant&) {
       return Variant(runtime::FormatNumber(v, WholeOf(digits)));
     }},
    {"LCase", false,
     [](const Variant& v, const Variant&, const Variant&) {
       return Variant(runtime::LCase(TextOf(v)));
     }},
    {"Left", false,
     [](const Variant& v, const Variant& length, const Variant&) {
       return Variant(runtime::Left(TextOf(v), WholeOf(length)));
     }},
    {"LTrim", false,
     [](const Variant& v, const Variant&, const Variant&) {
       return Variant(runtime::LTrim(TextOf(v)));
     }},
    {"Mid", false,
     [](const Variant& v, const Variant& start, const Variant& length) {
       return Variant(runtime::Mid(TextOf(v), WholeOf(start), WholeOf(length)));
     }},
    {"Replace", false,
     [](const Variant& v, const Variant& find, const Variant& replacement) {
       return Variant(runtime::Replace(TextOf(v), TextOf(find), TextOf(replacement), 1, -1,
                                       runtime::kTextCompare));
     }},
    {"Right", false,
     [](const Variant& v, const Variant& length, const Variant&) {
       return Variant(runtime::Right(TextOf(v), WholeOf(length)));
     }},
    {"Round", true,
     [](const Variant& v, const Variant& digits, const Variant&) {
       return runtime::Round(v, WholeOf(digits));
     }},
    {"RTrim", false,
     [](const Variant& v, const Variant&, const Variant&) {
       return Variant(runtime::RTrim(TextOf(v)));
     }},
    {"Spaces", false, Spaces},
    {"TCase", false,
     [](const Variant& v, const Variant&, const Variant&) {
       return Variant(runtime::ProperCase(TextOf(v)));
     }},
    {"Trim", false,
     [](const Variant& v, const Variant&, const Variant&) {
       return Variant(runtime::Trim(TextOf(v)));
     }},
    {"UCase", false,
     [](const Variant& v, const Variant&, const Variant&) {
       return Variant(runtime::UCase(TextOf(v)));
     }},
}};

}  // namespace

runtime::Variant ApplyFormattingFunction(runtime::Variant& pValue, const std::string& pName,
                                         const runtime::Variant& pArgument1,
                                         const runtime::Variant& pArgument2) {
  const Variant original = pValue;
  try {
    for (const FormattingFunction& function : kFormattingFunctions) {
      if (!runtime::EqualsIgnoreCase(pName, function.name)) continue;
      if (function.numericOnly && !runtime::IsNumeric(pValue)) return pValue;
      pValue = function.apply(pValue, pArgument1, pArgument2);
      return pValue;
    }
    return pValue;  // "NONE", a summary method or any other name: nothing to apply
  } catch (...) {
    // Any failure keeps the value the function was called with.
    pValue = original;
    return original;
  }
}

}  // namespace quillet
