// Spanish tax identification numbers (NIF: DNI, NIE, the K/L/M numbers of
// individuals without DNI, and the numbers of legal entities) and cadastral
// references: their check characters, for making valid ones and for checking
// the ones a user typed.
//
//   DniLetter(12345678)                      -> 'Z'
//   ClassifyNif("B08222341")                 -> NifKind::kEntity
//   CadastralControl("9872023VH5797S0001")   -> "WX"
//   IsValidCadastralReference("9872023VH5797S0001WX") -> true
//
// Text is code page 850 bytes; only upper-case letters and digits are
// accepted, without blanks or separators.
#ifndef ZOV_FORMAT_TAX_IDS_H_
#define ZOV_FORMAT_TAX_IDS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zov::format {

// The check letter of a DNI number (0 .. 99,999,999): "TRWAGMYFPDXBNJZSQVHLCKE"
// indexed by the number modulo 23. NIE and K/L/M numbers use it too.
char DniLetter(uint32_t number);

// The control value (0-9) of an entity's seven digits: the digits in odd
// places doubled (digits of each product added), those in even places added,
// and 10 minus the last digit of the sum, modulo 10.
int EntityControlValue(std::string_view seven_digits);

// The control character an entity of kind `entity` (its first letter) is
// given: "JABCDEFGHI"[value] for the entities that carry a letter (N, P, Q,
// R, S, W), the digit for all others.
char EntityControl(char entity, std::string_view seven_digits);

enum class NifKind {
  kInvalid,     // not nine characters of a known shape, or a wrong check character
  kDni,         // 8 digits and the letter
  kNie,         // X, Y or Z, 7 digits and the letter
  kIndividual,  // K, L or M, 7 digits and the letter (individuals without DNI)
  kEntity,      // A-H, J, N, P-S, U-W, 7 digits and the control character
};

// What the nine characters are. An entity's control character must be the
// digit for A, B, E and H, the letter for N, P, Q, R, S and W, and may be
// either for the other entity letters.
NifKind ClassifyNif(std::string_view nif);

// The two control letters of a cadastral reference whose first 18
// characters are given (7 of the parcel, 7 of the map sheet, 4 of the unit);
// two blanks when fewer are given.
std::string CadastralControl(std::string_view first18);

// 20 characters: 18 digits or upper-case letters (N-tilde included) and
// their two control letters.
bool IsValidCadastralReference(std::string_view reference);

}  // namespace zov::format

#endif  // ZOV_FORMAT_TAX_IDS_H_
