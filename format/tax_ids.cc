#include "format/tax_ids.h"

#include "format/chars.h"

namespace zov::format {

namespace {

constexpr std::string_view kDniLetters = "TRWAGMYFPDXBNJZSQVHLCKE";
constexpr std::string_view kEntityLetters = "JABCDEFGHI";
constexpr std::string_view kCadastralLetters = "MQWERTYUIOPASDFGHJKLBZX";
// The order in which letters count in a cadastral reference (A is 1, the
// Spanish alphabet's N-tilde has its own place after N).
constexpr std::string_view kCadastralAlphabet = "ABCDEFGHIJKLMN\xA5OPQRSTUVWXYZ";  // ...N, Ñ, O...

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (!IsDigit(c)) return false;
  return !text.empty();
}

uint32_t DigitsValue(std::string_view digits) {
  uint32_t v = 0;
  for (char c : digits) v = v * 10 + static_cast<uint32_t>(c - '0');
  return v;
}

bool In(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

char CadastralLetter(std::string_view eleven) {
  static constexpr int kWeights[11] = {13, 15, 12, 5, 4, 17, 9, 21, 3, 7, 1};
  int sum = 0;
  for (std::size_t i = 0; i < 11 && i < eleven.size(); ++i) {
    const char c = eleven[i];
    int value = 0;
    if (IsDigit(c)) {
      value = c - '0';
    } else {
      const std::size_t at = kCadastralAlphabet.find(c);
      value = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
    }
    sum += kWeights[i] * value;
  }
  return kCadastralLetters[static_cast<std::size_t>(sum % 23)];
}

}  // namespace

char DniLetter(uint32_t number) { return kDniLetters[number % 23]; }

int EntityControlValue(std::string_view seven_digits) {
  int sum = 0;
  for (std::size_t i = 0; i < seven_digits.size() && i < 7; ++i) {
    const int d = seven_digits[i] - '0';
    if (i % 2 == 0) {  // first, third, fifth and seventh digit: doubled
      const int twice = 2 * d;
      sum += twice / 10 + twice % 10;
    } else {
      sum += d;
    }
  }
  return (10 - sum % 10) % 10;
}

char EntityControl(char entity, std::string_view seven_digits) {
  const int value = EntityControlValue(seven_digits);
  if (In("NPQRSW", entity)) return kEntityLetters[static_cast<std::size_t>(value)];
  return static_cast<char>('0' + value);
}

NifKind ClassifyNif(std::string_view nif) {
  if (nif.size() != 9) return NifKind::kInvalid;
  const char first = nif[0];
  const char last = nif[8];
  if (IsDigit(first)) {
    if (!AllDigits(nif.substr(0, 8))) return NifKind::kInvalid;
    return last == DniLetter(DigitsValue(nif.substr(0, 8))) ? NifKind::kDni : NifKind::kInvalid;
  }
  const std::string_view seven = nif.substr(1, 7);
  if (!AllDigits(seven)) return NifKind::kInvalid;
  if (In("XYZ", first)) {
    const uint32_t number = static_cast<uint32_t>(first - 'X') * 10000000 + DigitsValue(seven);
    return last == DniLetter(number) ? NifKind::kNie : NifKind::kInvalid;
  }
  if (In("KLM", first)) return last == DniLetter(DigitsValue(seven)) ? NifKind::kIndividual : NifKind::kInvalid;
  if (!In("ABCDEFGHJNPQRSUVW", first)) return NifKind::kInvalid;
  const int value = EntityControlValue(seven);
  const bool digit_ok = last == static_cast<char>('0' + value);
  const bool letter_ok = last == kEntityLetters[static_cast<std::size_t>(value)];
  if (In("ABEH", first)) return digit_ok ? NifKind::kEntity : NifKind::kInvalid;
  if (In("NPQRSW", first)) return letter_ok ? NifKind::kEntity : NifKind::kInvalid;
  return digit_ok || letter_ok ? NifKind::kEntity : NifKind::kInvalid;
}

std::string CadastralControl(std::string_view first18) {
  if (first18.size() < 18) return "  ";
  const std::string unit(first18.substr(14, 4));
  std::string out;
  out += CadastralLetter(std::string(first18.substr(0, 7)) + unit);
  out += CadastralLetter(std::string(first18.substr(7, 7)) + unit);
  return out;
}

bool IsValidCadastralReference(std::string_view reference) {
  if (reference.size() != 20) return false;
  for (char c : reference.substr(0, 18))
    if (!IsDigit(c) && !IsUpperLetter(c) && c != '\xA5') return false;
  return reference.substr(18) == CadastralControl(reference.substr(0, 18));
}

}  // namespace zov::format
