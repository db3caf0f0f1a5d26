#include "format/dates.h"

#include <algorithm>
#include <array>

#include "format/chars.h"
#include "format/separator_setting.h"
#include "format/packed.h"
#include "platform/ascii.h"

namespace zov::format {

namespace {

// Largest field value the parser accepts (a 16-bit signed integer).
constexpr std::int32_t kMaxField = 32767;

// A field's number: leading blanks skipped, then the digits up to the first
// other character. Saturates just above kMaxField so long digit runs cannot
// overflow.
std::int32_t FieldNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::int32_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMaxField) return kMaxField + 1;
  }
  return value;
}

struct Language {
  std::string_view connector1;  // before a month name beginning with a consonant
  std::string_view connector2;  // before a month name beginning with a vowel
  std::string_view connector3;  // before the day or the year
  std::array<std::string_view, 12> months;
};

// Month names in code page 850 ("\x87" is c-cedilla, "\x8A" e-grave).
constexpr Language kSpanish{
    " de ", " de ", " de ",
    {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto",
     "septiembre", "octubre", "noviembre", "diciembre"}};
constexpr Language kPortuguese{
    " de ", " de ", " do ",
    {"janeiro", "fevereiro", "mar\x87o", "abril", "maio", "junho", "julho",
     "agosto", "setembro", "outubro", "novembro", "dezembro"}};
constexpr Language kAranese{
    " de ", " d'", " deth ",
    {"g\x8Ar", "hereu\x8Ar", "mar\x87", "abriu", "mai", "junh", "junhsega",
     "agost", "seteme", "octobre", "noveme", "deseme"}};
constexpr Language kCatalan{
    " de ", " d'", " del ",
    {"gener", "febrer", "mar\x87", "abril", "maig", "juny", "juliol", "agost",
     "setembre", "octubre", "novembre", "desembre"}};

const Language& LanguageOf(const FormatState& state) {
  if (state.language == "SPA") return kSpanish;
  if (state.language == "GLG") return kPortuguese;
  if (state.language == "OCI") return kAranese;
  return kCatalan;
}

void LoadDateSettings(FormatState& state) {
  auto read = [&state](std::string_view key) {
    return state.settings != nullptr ? state.settings->Read("Usuari", key)
                                  : std::string();
  };
  if (state.date_separator == '\0') {
    state.date_separator = UsableSeparator(state, "DatCaracter", read("DatCaracter"), '/');
  }
  if (state.date_order.empty()) {
    const std::string value = read("DatOrdre");
    state.date_order = TrimBlanks(value).empty() ? std::string("DMA")
                                              : value.substr(0, 3);
    // Anything but the three letters in some order would drop or repeat a
    // part of every date.
    std::string sorted = state.date_order;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != "ADM") {
      state.warnings.push_back("DatOrdre=" + ShownSettingValue(value) + " is not an order of D, M and A: DMA used");
      state.date_order = "DMA";
    }
  }
}

// The eight digits YYYYMMDD of a packed date.
std::string DateDigits(std::string_view date) {
  std::string digits = UnpackDigits(date.substr(0, 4));
  digits.resize(8, '0');
  return digits;
}

// "04" -> "4", "00" -> "0".
std::string WithoutLeadingZero(std::string_view two_digits) {
  return std::string(two_digits[0] == '0' ? two_digits.substr(1) : two_digits);
}

bool IsVowel(char c) {
  const char u = platform::AsciiUpper(c);
  return u == 'A' || u == 'E' || u == 'I' || u == 'O' || u == 'U';
}

}  // namespace

std::string ParseDate(FormatState& state, std::string_view text) {
  state.last_day = state.last_month = state.last_year = 0;
  const std::string zero(kZeroDate);

  std::array<std::string_view, 3> fields;
  std::size_t separators = 0;
  std::size_t field_start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || IsDigit(c)) continue;
    if (c != '.' && c != '/' && c != '-') return zero;
    if (separators == 2) return zero;
    fields[separators++] = text.substr(field_start, i - field_start);
    field_start = i + 1;
  }
  std::string_view day_text, month_text, year_text;
  if (separators == 0) {
    day_text = text.substr(0, 2);
    month_text = text.substr(std::min<std::size_t>(2, text.size()), 2);
    year_text = text.substr(std::min<std::size_t>(4, text.size()));
  } else if (separators == 2) {
    day_text = fields[0];
    month_text = fields[1];
    year_text = text.substr(field_start);
  } else {
    return zero;
  }

  const std::int32_t day = FieldNumber(day_text);
  const std::int32_t month = FieldNumber(month_text);
  std::int64_t year = FieldNumber(year_text);
  if (day > kMaxField || month > kMaxField || year > kMaxField) return zero;

  const bool four_digit_year = TrimBlanks(year_text).size() > 3;
  if (day > 0 && month > 0 && !four_digit_year) {
    const std::int64_t current = state.today.year;
    year += current / 100 * 100;
    if (year - current > 49) {
      year -= 100;
    } else if (current - year > 50) {
      year += 100;
    }
  }
  // The packed form holds two digits of day and month and four of the year;
  // a wider value would lose its leading digits, so it is rejected.
  if (day > 99 || month > 99 || year < 0 || year > 9999) return zero;

  state.last_day = static_cast<std::int16_t>(day);
  state.last_month = static_cast<std::int16_t>(month);
  state.last_year = static_cast<std::int16_t>(year);
  return PackDigits(ZeroPad(year, 4) + ZeroPad(month, 2) + ZeroPad(day, 2));
}

std::string DateText(FormatState& state, std::string_view date,
                     std::int16_t style, std::string_view parts) {
  LoadDateSettings(state);
  const std::string digits = DateDigits(date);
  const std::string year = digits.substr(0, 4);
  if (style < 0) {
    return year + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
  }
  const int month = (digits[4] - '0') * 10 + (digits[5] - '0');
  const int day = (digits[6] - '0') * 10 + (digits[7] - '0');
  const std::string month_number = WithoutLeadingZero(digits.substr(4, 2));
  const std::string day_number = WithoutLeadingZero(digits.substr(6, 2));
  const std::string wanted = platform::AsciiUpper(parts);
  const Language& language = LanguageOf(state);

  std::string text;
  if (month != 0 || day != 0) {
    for (const char letter : state.date_order) {
      if (wanted.find(letter) == std::string::npos) continue;
      std::string piece;
      bool is_month = false;
      if (letter == 'D') {
        piece = day_number;
      } else if (letter == 'A') {
        piece = year;
      } else if (letter == 'M') {
        is_month = true;
        if (style == 0 || month < 1 || month > 12) {
          piece = month_number;
        } else if (style == 1) {
          // The first three characters of the name's blank-padded slot.
          piece = std::string(language.months[month - 1]) + "   ";
          piece.resize(3);
        } else {
          piece = language.months[month - 1];
        }
      } else {
        continue;  // not a component letter: nothing to show
      }
      if (!text.empty()) {
        if (style < 2) {
          text += state.date_separator;
        } else if (is_month) {
          text += IsVowel(piece[0]) ? language.connector2 : language.connector1;
        } else {
          text += language.connector3;
        }
      }
      text += piece;
    }
  }
  if (style >= 2) return text;

  std::int64_t width = static_cast<std::int64_t>(parts.size()) - 1;
  if (wanted.find('D') != std::string::npos) width += 2;
  if (wanted.find('A') != std::string::npos) width += 4;
  if (wanted.find('M') != std::string::npos) width += style + 2;
  text.resize(static_cast<std::size_t>(width < 0 ? 0 : width), ' ');
  return text;
}

std::string DateSlashText(std::string_view date) { return DateNumberSlashText(DateNumber(date)); }

std::int64_t DateNumber(std::string_view date) {
  std::int64_t number = 0;
  for (char c : DateDigits(date)) number = number * 10 + (c - '0');
  return number;
}

std::string DateNumberSlashText(std::int64_t yyyymmdd) {
  const std::string digits = ZeroPad(yyyymmdd, 8);
  return digits.substr(6, 2) + "/" + digits.substr(4, 2) + "/" + digits.substr(0, 4);
}

std::string QuarterText(std::int64_t yyyymmdd) {
  const auto month = static_cast<int>(yyyymmdd / 100 % 100);
  return std::to_string((month - 1) / 3 + 1) + "T";
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool IsCalendarDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

}  // namespace zov::format
