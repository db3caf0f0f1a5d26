#include "register/run_parameters.h"

#include "format/dates.h"
#include "format/packed.h"
#include "format/chars.h"
#include "format/codes.h"
#include "register/records.h"

namespace zov::reg {

namespace {

constexpr std::string_view kLowestPropertyDigits = "000100010001";
constexpr std::string_view kHighestPropertyDigits = "999999999999";

const std::string& Line(const std::vector<std::string>& lines, int number) {
  static const std::string kEmpty;
  return number >= 1 && static_cast<std::size_t>(number) <= lines.size() ? lines[number - 1] : kEmpty;
}

// The packed date of a date line; a line that is not blank and does not
// name a calendar day is recorded in *unreadable (the first one only).
std::string DateLine(format::FormatState& state, const std::vector<std::string>& lines, int number,
                     int* unreadable) {
  const std::string& text = Line(lines, number);
  std::string date = format::ParseDate(state, text);
  const bool blank = format::TrimBlanks(text).empty();
  if (!blank && !format::IsCalendarDate(state.last_year, state.last_month, state.last_day) && *unreadable == 0)
    *unreadable = number;
  return date;
}

}  // namespace

std::string PropertyBound(std::string_view typed, std::string_view filler_digits) {
  std::string key = format::CodeToKey(typed);
  key += format::PackDigits(filler_digits);
  key.resize(kPropertyCodeSize);
  return key;
}

RunParameters ParseRunParameters(format::FormatState& state, const std::vector<std::string>& lines) {
  RunParameters p;
  p.date_from = DateLine(state, lines, 1, &p.unreadable_line);
  p.date_to = DateLine(state, lines, 2, &p.unreadable_line);
  p.receipt_key = Line(lines, 3) == "C" ? kReceiptKeyByPaymentDate : kReceiptKeyByIssueDate;
  p.property_from = PropertyBound(Line(lines, 4), kLowestPropertyDigits);
  p.property_to = PropertyBound(Line(lines, 5), kHighestPropertyDigits);
  p.class_from = format::PackDigits(Line(lines, 6));
  p.class_to = format::PackDigits(Line(lines, 7));
  p.line8 = Line(lines, 8);
  p.include_flag_s = Line(lines, 21) == "S";
  p.include_flag_n = Line(lines, 22) == "S";
  p.open_csv = Line(lines, 23) == "S";
  return p;
}

}  // namespace zov::reg
