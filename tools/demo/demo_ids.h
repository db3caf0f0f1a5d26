// Identifiers of the demo installation: a seeded random stream that gives
// the same installation on every machine, Spanish tax numbers with their
// check characters (DNI, NIE, company CIF) and 20-character cadastral
// references with their two control letters.
//
//   DemoRandom rnd(42);
//   std::string nif = Dni(rnd.Below(100000000));   // "12345678Z"
//   std::string cif = Cif('A', 5881850);            // "A58818501"
#ifndef ZOV_TOOLS_DEMO_DEMO_IDS_H_
#define ZOV_TOOLS_DEMO_DEMO_IDS_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zov::tools::demo {

// SplitMix64: a small generator whose output depends only on the seed (the
// standard library's distributions differ between library versions).
class DemoRandom {
 public:
  explicit DemoRandom(uint64_t seed) : state_(seed) {}

  uint64_t Next();
  // Uniform in [0, n); 0 when n is 0.
  uint32_t Below(uint32_t n);
  // Uniform in [low, high]; low when high < low.
  int32_t Between(int32_t low, int32_t high);
  // True with the given chance in percent (0 never, 100 always).
  bool Percent(int percent);
  // An independent stream for one part of the installation (an owner, a
  // property), so that what one part draws never shifts another.
  DemoRandom Fork(uint64_t salt) const;

  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[Below(static_cast<uint32_t>(items.size()))];
  }

 private:
  uint64_t state_;
};

// The check letter of a DNI number (0 .. 99,999,999): "TRWAGMYFPDXBNJZSQVHLCKE"
// indexed by the number modulo 23.
char DniLetter(uint32_t number);

// Eight digits and the check letter: Dni(12345678) == "12345678Z".
std::string Dni(uint32_t number);

// A foreigner's number: X, Y or Z (prefix 0, 1 or 2), seven digits and the
// check letter of the number formed by the prefix digit and the seven.
std::string Nie(int prefix, uint32_t number);

// The control character of a company number: `kind` is the entity letter,
// `digits` the seven digits. Entities that must carry a letter (N, P, Q, R,
// S, W, and K, L, M) get "JABCDEFGHI"[d]; every other entity the digit d.
char CifControl(char kind, std::string_view digits);

// The entity letter, the seven digits of `number` (0 .. 9,999,999) and the
// control character.
std::string Cif(char kind, uint32_t number);

// The two control letters of a cadastral reference whose first 18
// characters are given (7 parcel, 7 map sheet, 4 unit).
std::string CadastralControl(std::string_view first18);

}  // namespace zov::tools::demo

#endif  // ZOV_TOOLS_DEMO_DEMO_IDS_H_
