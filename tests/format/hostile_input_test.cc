// Random and hostile input for the text-facing operations: none may crash,
// hang or read outside its input (the suite also runs under ASan/UBSan), and
// each keeps its width and byte-form promises. Fixed seeds; well under a
// second of work.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "format/codes.h"
#include "format/dates.h"
#include "format/mask.h"
#include "format/number_field.h"
#include "format/packed.h"
#include "tests/format/fake_settings.h"

namespace zov::format {
namespace {

class Hostile {
 public:
  explicit Hostile(unsigned seed) : rng_(seed) {}

  // Mostly characters that mean something to the parsers, some raw bytes.
  std::string Text(std::size_t max_length) {
    static constexpr char kMeaningful[] = "0123456789 ./-,+*Zz9VSNMdmaDMA!'";
    std::uniform_int_distribution<std::size_t> length(0, max_length);
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<std::size_t> meaningful(0, sizeof kMeaningful - 2);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(length(rng_), ' ');
    for (char& c : out) {
      c = pick(rng_) < 8 ? kMeaningful[meaningful(rng_)]
                         : static_cast<char>(byte(rng_));
    }
    return out;
  }

  double Number() {
    std::uniform_int_distribution<int> kind(0, 7);
    switch (kind(rng_)) {
      case 0: return std::numeric_limits<double>::quiet_NaN();
      case 1: return (rng_() & 1) ? std::numeric_limits<double>::infinity()
                                  : -std::numeric_limits<double>::infinity();
      case 2: {  // any bit pattern: subnormals, huge values, NaNs
        const std::uint64_t bits = rng_();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
      }
      case 3: return std::uniform_real_distribution<double>(-1e20, 1e20)(rng_);
      case 4: return static_cast<double>(
          std::uniform_int_distribution<std::int64_t>(-(1LL << 62), 1LL << 62)(rng_));
      case 5: return -0.0;
      default: return std::uniform_real_distribution<double>(-1000, 1000)(rng_);
    }
  }

  std::int16_t Small(int low, int high) {
    return static_cast<std::int16_t>(std::uniform_int_distribution<int>(low, high)(rng_));
  }

 private:
  std::mt19937_64 rng_;
};

constexpr unsigned kSeeds[] = {1, 2, 3, 20260405};
constexpr int kRounds = 1500;

TEST(HostileInputTest, MasksAndAmountsKeepTheirWidth) {
  for (const unsigned seed : kSeeds) {
    Hostile h(seed);
    FormatState format_state;
    SetCurrency(format_state, (seed % 2) ? "a,P" : "a,E");
    for (int i = 0; i < kRounds; ++i) {
      const std::string mask = h.Text(i % 100 == 0 ? 255 : 24);
      const double value = h.Number();
      ASSERT_EQ(FormatMask(format_state, mask, value).size(), mask.size())
          << "seed " << seed << " mask \"" << mask << "\" value " << value;
      ASSERT_EQ(FormatAmount(format_state, mask, value).size(), mask.size())
          << "seed " << seed << " pattern \"" << mask << "\" amount " << value;
    }
  }
}

TEST(HostileInputTest, ParseDateGivesAFourBytePackedDate) {
  for (const unsigned seed : kSeeds) {
    Hostile h(seed);
    FormatState format_state;
    format_state.today = {2026, 4, 5};
    for (int i = 0; i < kRounds; ++i) {
      const std::string text = h.Text(16);
      const std::string date = ParseDate(format_state, text);
      ASSERT_EQ(date.size(), 4u) << "seed " << seed << " \"" << text << '"';
      for (const char c : date) {
        ASSERT_GE(static_cast<unsigned char>(c), 128) << '"' << text << '"';
      }
    }
  }
}

// Any day and month the packed form holds, with a four-digit year, reads
// back from its DD/MM/YYYY text unchanged.
TEST(HostileInputTest, SlashTextParsesBackToTheSameDate) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> year(1000, 9999), two(0, 99);
  FormatState format_state;
  format_state.today = {2026, 4, 5};
  for (int i = 0; i < 3000; ++i) {
    const std::string date = PackDigits(ZeroPad(year(rng), 4) +
                                        ZeroPad(two(rng), 2) + ZeroPad(two(rng), 2));
    ASSERT_EQ(ParseDate(format_state, DateSlashText(date)), date) << DateSlashText(date);
  }
}

TEST(HostileInputTest, DateTextOnAnyBytes) {
  for (const unsigned seed : kSeeds) {
    Hostile h(seed);
    FakeSettings settings({{"DatCaracter", h.Text(3)}, {"DatOrdre", h.Text(5)}});
    FormatState format_state;
    format_state.settings = &settings;
    const char* languages[] = {"CAT", "SPA", "GLG", "OCI", ""};
    for (int i = 0; i < kRounds; ++i) {
      format_state.language = languages[i % 5];
      const std::string date = h.Text(6);
      const std::string parts = h.Text(6);
      const std::int16_t style = h.Small(-3, 4);
      const std::string text = DateText(format_state, date, style, parts);
      if (style < 0) {
        ASSERT_EQ(text.size(), 10u) << '"' << date << '"';
      }
    }
  }
}

TEST(HostileInputTest, CodesAndNumberFields) {
  for (const unsigned seed : kSeeds) {
    Hostile h(seed);
    for (int i = 0; i < kRounds; ++i) {
      const std::string code = h.Text(20);
      for (const char c : CodeToKey(code)) {
        ASSERT_GE(static_cast<unsigned char>(c), 128) << '"' << code << '"';
      }
      const std::string key = h.Text(8);
      const std::string shown = KeyToCode(key);
      ASSERT_EQ(shown.find_first_not_of("0123456789."), std::string::npos)
          << '"' << key << '"';
      const std::string picture = h.Text(8);
      const double value = h.Number();
      const std::string field = NumberField(value, picture);
      ASSERT_LE(field.size(), 2u * 32767 + 400) << value << " \"" << picture << '"';
    }
  }
}

}  // namespace
}  // namespace zov::format
