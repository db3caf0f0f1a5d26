#include "format/mask.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "format/chars.h"
#include "format/separator_setting.h"
#include "format/decimal.h"
#include "platform/ascii.h"

namespace zov::format {

namespace {

using Index = std::ptrdiff_t;

// Reads one separator setting: its first character, a blank when empty;
// a blank (or NUL, which would read as "not loaded") gives the fallback, and
// so does a digit or a control byte, which would read as part of the number.
char LoadSeparator(FormatState& state, std::string_view key, char fallback) {
  const std::string value =
      state.settings != nullptr ? state.settings->Read("Usuari", key) : std::string();
  return UsableSeparator(state, key, value, fallback);
}

void LoadSeparators(FormatState& state) {
  if (state.decimal_char == '\0') {
    state.decimal_char = LoadSeparator(state, "DecCaracter", '\'');
  }
  if (state.thousands_char == '\0') {
    state.thousands_char = LoadSeparator(state, "MilCaracter", '.');
  }
}

bool IsDigitPosition(char c) {
  return c == '9' || c == 'Z' || c == 'z' || c == '*';
}

// What the last digit position handled left behind: its fill character (if
// any) and whether it was suppressed. A "." or "," reads it.
struct FillState {
  char fill = '\0';  // '\0' none, ' ' blank, '*' asterisk
  bool suppressed = false;
};

// The text written when the number does not fit the mask.
std::string OverflowText(const FormatState& state, const std::string& digits,
                         Index decimals, bool negative, Index width) {
  const Index integer_digits = static_cast<Index>(digits.size()) - decimals;
  if (width < integer_digits + (negative ? 1 : 0)) {
    return std::string(static_cast<std::size_t>(width), '!');
  }
  std::string text;
  if (negative) text += '-';
  if (integer_digits > 0) text.append(digits, 0, integer_digits);
  if (decimals > 0) {
    text += state.decimal_char;
    const Index have = std::min<Index>(decimals, static_cast<Index>(digits.size()));
    text.append(static_cast<std::size_t>(decimals - have), '0');
    text.append(digits, digits.size() - static_cast<std::size_t>(have),
                static_cast<std::size_t>(have));
  }
  const auto w = static_cast<std::size_t>(width);
  if (text.size() < w) return std::string(w - text.size(), ' ') + text;
  text.resize(w);  // keeps the leftmost characters
  return text;
}

}  // namespace

std::string FormatMask(FormatState& state, std::string_view mask, double value) {
  LoadSeparators(state);
  std::string m(mask);
  const Index length = static_cast<Index>(m.size());
  if (length == 0) return m;
  if (!std::isfinite(value)) return std::string(m.size(), '!');

  const bool has_sign = mask.find_first_of("-+") != std::string_view::npos;
  // Decimal span: digit and sign positions after the first "."; decimal
  // digits: the unbroken digit run right after it.
  Index span = 0;
  Index decimals = 0;
  const auto point = mask.find('.');
  if (point != std::string_view::npos) {
    for (std::size_t i = point + 1; i < mask.size(); ++i) {
      if (IsDigitPosition(mask[i]) || mask[i] == '-' || mask[i] == '+') ++span;
    }
    if (span > 0) {
      for (std::size_t i = point + 1;
           i < mask.size() && IsDigitPosition(mask[i]); ++i) {
        ++decimals;
      }
    }
  }

  const bool negative = value < 0;
  const double rounded = ScaleAndRoundHalfEven(std::fabs(value), decimals);
  if (!std::isfinite(rounded)) return std::string(m.size(), '!');
  const std::string digits = IntegerDigits(rounded);
  const Index digit_count = static_cast<Index>(digits.size());

  // last_nonzero: 1-based position of the last digit that is not "0" (0 when
  // none), so "the digits from k onwards are above zero" is k <= last_nonzero.
  Index last_nonzero = 0;
  for (Index i = digit_count; i >= 1; --i) {
    if (digits[static_cast<std::size_t>(i - 1)] != '0') {
      last_nonzero = i;
      break;
    }
  }
  auto digit_at = [&](Index k) -> char {
    return (k >= 1 && k <= digit_count) ? digits[static_cast<std::size_t>(k - 1)]
                                        : '\0';
  };
  // The decimal zone moves to the last position once the "." is passed.
  auto in_decimal_zone = [&](Index p) { return p >= length - span; };
  auto at = [&](Index p) -> char& { return m[static_cast<std::size_t>(p - 1)]; };

  // Right to left, laying the digits into the digit positions. The cursor
  // starts one slot further right for each sign position in the span.
  FillState fill;
  Index k = digit_count + (span - decimals);
  Index p = length;
  for (; p >= 1 && k >= 1; --p) {
    char& c = at(p);
    const char d = digit_at(k);
    switch (c) {
      case '9':
        c = d != '\0' ? d : '0';
        fill = {};
        --k;
        break;
      case 'Z':
      case 'z':
        if (!in_decimal_zone(p)) {
          c = d != '\0' ? d : ' ';
          fill = {' ', d == '\0'};
        } else if (span == 0 || k <= last_nonzero) {
          c = d != '\0' ? d : '0';
          fill = {' ', d == '\0'};
        } else {
          c = ' ';  // a trailing zero decimal
          fill = {' ', true};
        }
        --k;
        break;
      case '*':
        c = d != '\0' ? d : '*';
        fill = {'*', d == '\0'};
        --k;
        break;
      case '.':
        c = fill.suppressed ? fill.fill : state.decimal_char;
        span = 0;
        break;
      case ',':
        c = state.thousands_char;
        break;
      case '-':
        if (!negative) c = ' ';
        if (span > 0) --k;
        break;
      case '+':
        c = negative ? '-' : '+';
        if (span > 0) --k;
        break;
      default:
        break;
    }
  }

  if (k != 0 || (!has_sign && negative && p == 0)) {
    return OverflowText(state, digits, decimals, negative, length);
  }

  // The positions left of the number: fill, and a floating minus in the
  // first free place when the mask has no sign position of its own.
  bool minus_pending = negative && !has_sign;
  for (; p >= 1; --p) {
    char& c = at(p);
    switch (c) {
      case '9':
        if (minus_pending && !in_decimal_zone(p)) {
          c = '-';
          minus_pending = false;
        } else {
          c = '0';
        }
        fill = {};
        break;
      case 'Z':
      case 'z':
        if (minus_pending) {
          c = '-';
          minus_pending = false;
        } else if (!in_decimal_zone(p) || value == 0) {
          c = ' ';
          fill = {' ', true};
        } else {
          c = '0';
          fill = {' ', false};
        }
        break;
      case '*':
        if (minus_pending) {
          c = '-';
          minus_pending = false;
        } else {
          c = in_decimal_zone(p) ? '0' : '*';
          fill = {'*', false};
        }
        break;
      case ',':
        if (minus_pending) {
          c = '-';
          minus_pending = false;
        } else {
          c = fill.fill != '\0' ? fill.fill : state.thousands_char;
        }
        break;
      case '.':
        c = fill.suppressed ? fill.fill : state.decimal_char;
        break;
      case '-':
        if (!negative) c = ' ';
        break;
      case '+':
        c = negative ? '-' : '+';
        break;
      default:
        break;
    }
  }
  return m;
}

namespace {

// The edit mask of an amount pattern: its layout, with the decimals the
// display currency has (none for pesetas), for a zero or a non-zero amount.
std::string AmountMaskFor(std::string_view pattern, bool pesetas, bool nonzero) {
  const std::size_t width = pattern.size();
  bool asterisk_fill = false;
  bool units_forced = nonzero;
  bool seen_point = false;
  std::int64_t decimal_count = 0;
  char sign = '\0';
  bool sign_leading = false;
  bool grouping = false;
  for (std::size_t i = 0; i < width; ++i) {
    switch (pattern[i]) {
      case '*':
        asterisk_fill = true;
        break;
      case 'Z':
        asterisk_fill = false;
        break;
      case '9':
        if (!seen_point) units_forced = true;
        if (decimal_count > 0) ++decimal_count;
        break;
      case '.':
        seen_point = true;
        ++decimal_count;
        break;
      case '-':
      case '+':
        sign = pattern[i];
        sign_leading = i == 0;
        break;
      case ',':
        grouping = true;
        break;
      default:
        break;
    }
  }

  // Every step keeps the rightmost `width` characters of what it builds.
  auto keep_right = [width](std::string s) {
    return s.size() > width ? s.substr(s.size() - width) : s;
  };
  std::string m(width, asterisk_fill ? '*' : 'Z');
  if (units_forced) m = keep_right(m + '9');
  if (grouping) {
    for (auto i = static_cast<std::int64_t>(width) - 3; i >= 1; i -= 4) {
      const auto cut = static_cast<std::size_t>(i);
      m = keep_right(m.substr(0, cut) + ',' + m.substr(cut));
    }
  }

  if (!pesetas) decimal_count += decimal_count == 0 ? 3 : 2;
  if (decimal_count > 0) {
    m = keep_right(m + '.' +
                   std::string(static_cast<std::size_t>(decimal_count - 1),
                               units_forced ? '9' : 'Z'));
  }
  if (sign != '\0') {
    if (!sign_leading) {
      m = keep_right(m + sign);
    } else if (!m.empty()) {
      m[0] = sign;
    }
  }
  return m;
}

}  // namespace

std::string FormatAmount(FormatState& state, std::string_view pattern,
                         double amount) {
  const bool pesetas = state.display_currency == "P";
  const bool nonzero = amount != 0;
  const std::string* mask = nullptr;
  for (const FormatState::AmountMask& m : state.amount_masks) {
    if (m.pesetas == pesetas && m.nonzero == nonzero && m.pattern == pattern) {
      mask = &m.mask;
      break;
    }
  }
  if (mask == nullptr) {
    state.amount_masks.push_back({std::string(pattern), pesetas, nonzero, AmountMaskFor(pattern, pesetas, nonzero)});
    mask = &state.amount_masks.back().mask;
  }
  double value = 0;
  if (pesetas) {
    // Pesetas: the euro factor is held in single precision (exactly
    // 166.3860015869140625); the whole expression is evaluated in extended
    // precision and stored as a double, as FormatMask's scaling is.
    constexpr float kPesetasPerEuro = 166.386f;
    value = static_cast<double>(static_cast<long double>(amount) / 100.0L *
                                static_cast<long double>(kPesetasPerEuro));
  } else {
    value = amount / 100.0;
  }
  return FormatMask(state, *mask, value);
}

void SetCurrency(FormatState& state, std::string_view choice) {
  const char first = choice.empty() ? '\0' : platform::AsciiUpper(choice[0]);
  const auto comma = choice.find(',');
  if (comma != std::string_view::npos) {
    const std::string_view rest = TrimBlanks(choice.substr(comma + 1));
    const std::string code =
        rest.empty() ? std::string() : std::string(1, platform::AsciiUpper(rest[0]));
    if (first == 'A') {
      state.accounting_currency = code;
      state.display_currency = code;
    } else {
      state.alternate_currency = code;
    }
    return;
  }
  if (first == 'P' && !state.alternate_currency.empty()) {
    state.display_currency = state.alternate_currency;
  } else {
    state.display_currency = state.accounting_currency;
  }
}

}  // namespace zov::format
