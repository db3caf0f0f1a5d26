// Dates: parsing a date typed day first into a packed date (packed.h), and
// the text forms of a packed date: short numeric, abbreviated month, long
// form with month names in the session language, ISO, and DD/MM/YYYY.
//
//   ParseDate(state, "5/4/06")          -> packed 20060405 (with today 2026)
//   DateText(state, date, 0, "dma")     -> "5/4/2006  "
//   DateText(state, date, 2, "dma")     -> "5 d'abril del 2006" (Catalan)
//   DateSlashText(date)              -> "05/04/2006"
//   DateNumber(date)                 -> 20060405
//   DateNumberSlashText(20060405)    -> "05/04/2006"
//   QuarterText(20060405)            -> "2T"
//
// DateText loads DatCaracter (separator, default "/") and DatOrdre
// (component order, default "DMA"; D day, M month, A year) from the
// settings source on its first call of the run.
#ifndef ZOV_FORMAT_DATES_H_
#define ZOV_FORMAT_DATES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "format/format_state.h"

namespace zov::format {

// The four bytes of a packed date; the zero date means no date.
inline constexpr std::string_view kZeroDate{"\x80\x80\x80\x80", 4};

// Reads "D/M/Y" with ".", "/" or "-" as separators, or "DDMMYY[YY]" without
// any. A year written with fewer than four characters is placed in the
// window from today.year - 50 to today.year + 49. Day and month are not
// checked against the calendar ("31.02.06" gives 20060231). Returns the
// zero date for an empty or blank text and for any text it rejects: another
// character, one or more than two separators, a field above 32767, or a
// day or month above 99 or a year above 9999 (which the packed form cannot
// hold). Records the result in state.last_day/last_month/last_year.
std::string ParseDate(FormatState& state, std::string_view text);

// Styles: -1 (and below) ISO "YYYY-MM-DD"; 0 numbers joined by the date
// separator; 1 the same with the month's first three letters; 2 and above
// month names with the connecting words of the session language. `parts`
// lists the components to show ("D", "M", "A", either case); their order
// comes from the date order setting. Styles 0 and 1 return a field of fixed
// width (10 and 11 for "dma"), blank-padded or cut; style 2 and above return
// the text as long as it is. A month outside 1..12 is shown as its number
// in every style. A date of fewer than four bytes reads as if padded with
// zero bytes; bytes after the fourth are ignored. The zero date gives
// blanks (styles 0, 1), an empty text (2+) or "0000-00-00" (ISO).
std::string DateText(FormatState& state, std::string_view date,
                     std::int16_t style, std::string_view parts);

// "DD/MM/YYYY" from the date's digits, whatever the settings.
std::string DateSlashText(std::string_view date);

// The date's digits as the number YYYYMMDD, the form in which dates are
// compared and computed with outside the records. The calendar is not
// checked; a date of fewer than four bytes reads as padded with zero digits.
std::int64_t DateNumber(std::string_view date);

// "DD/MM/YYYY" of a date number YYYYMMDD (its last eight digits).
std::string DateNumberSlashText(std::int64_t yyyymmdd);

// The quarter of a date number as the tax agency writes it, "1T" to "4T":
// (month - 1) / 3 + 1, truncated, so a month 0 gives "1T" and 13 gives "5T".
std::string QuarterText(std::int64_t yyyymmdd);

// Days of the month in the Gregorian calendar; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Whether year, month and day name a day of the Gregorian calendar (years
// 1 to 9999).
bool IsCalendarDate(int year, int month, int day);

}  // namespace zov::format

#endif  // ZOV_FORMAT_DATES_H_
