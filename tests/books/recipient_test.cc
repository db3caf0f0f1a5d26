#include "books/recipient.h"

#include "gtest/gtest.h"

namespace zov::books {
namespace {

TEST(RecipientTest, SpanishForeignAndUnprefixedNumbers) {
  struct Case {
    std::string stored;
    RecipientId id;
    std::string warning;  // rule of the warning, if any
  } cases[] = {
      {"ES12345678Z      ", {"", "", "12345678Z"}, ""},
      {"ESB08222341      ", {"", "", "B08222341"}, ""},
      {"es12345678Z      ", {"", "", "12345678Z"}, ""},
      {"                 ", {"", "", ""}, ""},
      {"DE123456789      ", {"02", "DE", "DE123456789"}, "V29"},
      {"EL094259216      ", {"02", "GR", "EL094259216"}, "V29"},
      {"FRAB123456789    ", {"02", "FR", "FRAB123456789"}, "V29"},
      {"NL123456789B01   ", {"02", "NL", "NL123456789B01"}, "V29"},
      {"DE12345678       ", {"06", "DE", "12345678"}, "V2"},    // one digit short of a German VAT number
      {"GBAB1234567      ", {"06", "GB", "AB1234567"}, "V2"},   // not a member state
      {"MA X123456       ", {"06", "MA", "X123456"}, "V2"},
      {"12345678Z        ", {"", "", "12345678Z"}, "V2"},       // no country prefix
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    std::vector<Finding> warnings;
    const RecipientId id = MapRecipient(c.stored, &warnings);
    EXPECT_EQ(id.type, c.id.type);
    EXPECT_EQ(id.country, c.id.country);
    EXPECT_EQ(id.id, c.id.id);
    ASSERT_EQ(warnings.size(), c.warning.empty() ? 0u : 1u);
    if (!c.warning.empty()) {
      EXPECT_EQ(warnings[0].rule, c.warning);
    }
  }
}

TEST(RecipientTest, VatShapesAndCountries) {
  struct Case {
    std::string prefix, number;
    bool vat;
  } cases[] = {
      {"AT", "U12345678", true},  {"AT", "12345678", false},   {"BE", "0123456789", true},
      {"BE", "2123456789", false}, {"IE", "1234567WA", true},  {"IE", "1+23456A", true},
      {"XI", "GD123", true},      {"ES", "B08222341", false},  {"US", "123456789", false},
      {"RO", "1", false},         {"RO", "12", true},          {"SE", "123456789001", true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsEuVatNumber(c.prefix, c.number), c.vat) << c.prefix << c.number;
  EXPECT_TRUE(IsIsoCountry("GR"));
  EXPECT_TRUE(IsIsoCountry("ES"));
  EXPECT_FALSE(IsIsoCountry("EL"));
  EXPECT_FALSE(IsIsoCountry("XX"));
  EXPECT_FALSE(IsIsoCountry("gr"));
  EXPECT_EQ(CountryOfVatPrefix("EL"), "GR");
  EXPECT_EQ(CountryOfVatPrefix("DE"), "DE");
}

}  // namespace
}  // namespace zov::books
