#include "runtime/date_parse.h"

#include <array>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/case.h"
#include "runtime/date.h"

namespace quillet::runtime {
namespace {

struct Item {
  enum Kind { kNumber, kMonth, kAm, kPm, kTimeSeparator } kind;
  int32_t value = 0;
  int32_t digits = 0;
};

constexpr std::array<std::string_view, 12> kEnglishMonths = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};
constexpr std::array<std::string_view, 7> kEnglishDays = {
    "sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};

std::string WithoutDot(std::string_view name) {
  std::string folded = FoldCase(name);
  if (!folded.empty() && folded.back() == '.') folded.pop_back();
  return folded;
}

bool IsLetterByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Classifies a word: a month (1..12), a day name (skipped), AM or PM; false when it is none.
bool ReadWord(const std::string& word, const Locale& locale, std::vector<Item>& items) {
  const std::string folded = WithoutDot(word);
  for (int32_t m = 0; m < 12; ++m) {
    const std::string_view english = kEnglishMonths[static_cast<size_t>(m)];
    if (folded == WithoutDot(locale.monthNames[static_cast<size_t>(m)]) ||
        folded == WithoutDot(locale.abbreviatedMonthNames[static_cast<size_t>(m)]) ||
        folded == english || folded == english.substr(0, 3)) {
      items.push_back({Item::kMonth, m + 1, 0});
      return true;
    }
  }
  for (size_t d = 0; d < 7; ++d) {
    if (folded == WithoutDot(locale.dayNames[d]) ||
        folded == WithoutDot(locale.abbreviatedDayNames[d]) || folded == kEnglishDays[d] ||
        folded == kEnglishDays[d].substr(0, 3))
      return true;
  }
  auto designator = [&](const std::string& name) {
    return !name.empty() && folded == WithoutDot(name);
  };
  if (designator(locale.amDesignator) || folded == "am" || folded == "a") {
    items.push_back({Item::kAm, 0, 0});
    return true;
  }
  if (designator(locale.pmDesignator) || folded == "pm" || folded == "p") {
    items.push_back({Item::kPm, 0, 0});
    return true;
  }
  return false;
}

std::optional<std::vector<Item>> Tokenize(std::string_view text, const Locale& locale) {
  std::vector<Item> items;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (IsDigit(c)) {
      Item number{Item::kNumber, 0, 0};
      for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (number.digits < 9) number.value = number.value * 10 + (text[i] - '0');
        ++number.digits;
      }
      items.push_back(number);
    } else if (c == ':' || (!locale.timeSeparator.empty() &&
                            text.substr(i, locale.timeSeparator.size()) == locale.timeSeparator &&
                            locale.timeSeparator != locale.dateSeparator)) {
      items.push_back({Item::kTimeSeparator, 0, 0});
      i += c == ':' ? 1 : locale.timeSeparator.size();
    } else if (IsLetterByte(c)) {
      const size_t start = i;
      while (i < text.size() && IsLetterByte(text[i]))
        ++i;
      // "janv." is a name with its dot.
      if (i < text.size() && text[i] == '.') ++i;
      if (!ReadWord(std::string(text.substr(start, i - start)), locale, items)) return {};
    } else if (c == '/' || c == '-' || c == '.' || c == ',' || c == ' ' || c == '\t') {
      ++i;
    } else if (!locale.dateSeparator.empty() &&
               text.substr(i, locale.dateSeparator.size()) == locale.dateSeparator) {
      i += locale.dateSeparator.size();
    } else if (text.substr(i, 2) == "\xC2\xA0") {
      i += 2;
    } else {
      return {};
    }
  }
  return items;
}

int32_t CurrentYear() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

int32_t FullYear(const Item& year) {
  if (year.digits > 2) return year.value;
  return year.value < 30 ? 2000 + year.value : 1900 + year.value;
}

bool CanBeYear(const Item& n) {
  return n.digits >= 3 || n.value > 31;
}

std::optional<double> MakeDate(int32_t year, int32_t month, int32_t day) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return {};
  return DateSerial(year, month, day);
}

// The order of day, month and year in the locale's short date pattern, as "MDY", "DMY"...
std::string FieldOrder(const Locale& locale) {
  std::string order;
  for (char c : locale.shortDatePattern) {
    const char field = c == 'M' ? 'M' : c == 'd' ? 'D' : c == 'y' ? 'Y' : '\0';
    if (field != '\0' && order.find(field) == std::string::npos) order += field;
  }
  return order.size() == 3 ? order : "MDY";
}

std::optional<double> InOrder(const std::vector<Item>& n, std::string_view order) {
  int32_t year = 0, month = 0, day = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (order[i] == 'Y') year = FullYear(n[i]);
    if (order[i] == 'M') month = n[i].value;
    if (order[i] == 'D') day = n[i].value;
  }
  return MakeDate(year, month, day);
}

std::optional<double> DateFromParts(const std::vector<Item>& numbers, int32_t month,
                                    const Locale& locale) {
  const std::string order = FieldOrder(locale);
  if (month > 0) {
    if (numbers.size() == 1) {
      if (CanBeYear(numbers[0])) return MakeDate(FullYear(numbers[0]), month, 1);
      return MakeDate(CurrentYear(), month, numbers[0].value);
    }
    if (numbers.size() != 2) return {};
    if (!CanBeYear(numbers[0]))
      if (auto date = MakeDate(FullYear(numbers[1]), month, numbers[0].value)) return date;
    return MakeDate(FullYear(numbers[0]), month, numbers[1].value);
  }
  if (numbers.size() == 3) {
    std::vector<std::string> orders = {order, "MDY", "DMY", "YMD"};
    if (CanBeYear(numbers[0])) orders = {"YMD", "YDM"};
    for (const std::string& candidate : orders)
      if (auto date = InOrder(numbers, candidate)) return date;
    return {};
  }
  if (numbers.size() != 2) return {};
  if (CanBeYear(numbers[0])) return MakeDate(FullYear(numbers[0]), numbers[1].value, 1);
  if (CanBeYear(numbers[1])) return MakeDate(FullYear(numbers[1]), numbers[0].value, 1);
  const bool dayFirst = order.find('D') < order.find('M');
  const int32_t first = numbers[0].value;
  const int32_t second = numbers[1].value;
  const int32_t year = CurrentYear();
  if (auto date = dayFirst ? MakeDate(year, second, first) : MakeDate(year, first, second))
    return date;
  return dayFirst ? MakeDate(year, first, second) : MakeDate(year, second, first);
}

}  // namespace

std::optional<double> ParseDate(std::string_view text, const Locale& locale) {
  auto tokens = Tokenize(text, locale);
  if (!tokens || tokens->empty()) return {};
  std::vector<Item>& items = *tokens;

  // The time: h:mm[:ss] or a bare hour, with its designator.
  int32_t hour = -1, minute = 0, second = 0;
  size_t timeAt = items.size();
  size_t timeEnd = items.size();
  for (size_t i = 0; i + 1 < items.size(); ++i) {
    if (items[i].kind != Item::kNumber) continue;
    if (i + 2 < items.size() && items[i + 1].kind == Item::kTimeSeparator &&
        items[i + 2].kind == Item::kNumber) {
      hour = items[i].value, minute = items[i + 2].value;
      timeAt = i, timeEnd = i + 3;
      if (timeEnd + 1 < items.size() && items[timeEnd].kind == Item::kTimeSeparator &&
          items[timeEnd + 1].kind == Item::kNumber) {
        second = items[timeEnd + 1].value;
        timeEnd += 2;
      }
      break;
    }
    if (items[i + 1].kind == Item::kAm || items[i + 1].kind == Item::kPm) {
      hour = items[i].value;
      timeAt = i, timeEnd = i + 1;
      break;
    }
  }
  bool am = false, pm = false;
  if (timeEnd < items.size() &&
      (items[timeEnd].kind == Item::kAm || items[timeEnd].kind == Item::kPm)) {
    (items[timeEnd].kind == Item::kAm ? am : pm) = true;
    ++timeEnd;
  }
  double time = 0;
  if (hour >= 0) {
    if (am || pm) {
      if (hour < 1 || hour > 12) return {};
      hour = hour % 12 + (pm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) return {};
    time = TimeSerial(hour, minute, second);
  }

  std::vector<Item> numbers;
  int32_t month = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i >= timeAt && i < timeEnd) continue;
    switch (items[i].kind) {
      case Item::kNumber:
        numbers.push_back(items[i]);
        break;
      case Item::kMonth:
        if (month != 0) return {};
        month = items[i].value;
        break;
      default:
        return {};  // a designator without an hour, a stray separator
    }
  }
  if (numbers.empty() && month == 0) {
    if (hour < 0) return {};
    return time;
  }
  const std::optional<double> day = DateFromParts(numbers, month, locale);
  if (!day) return {};
  return *day < 0 ? *day - time : *day + time;
}

}  // namespace quillet::runtime
