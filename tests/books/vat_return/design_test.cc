// Every year's table against the design's own totals: each piece's fields
// follow one another from position 1 and add up to the published length,
// fixed texts fill their fields, every box the rules name is a field of the
// table, and a rate row's fixed rate is its rate.
#include "books/vat_return/design.h"

#include <map>
#include <set>
#include <string>

#include "format/packed.h"
#include "gtest/gtest.h"

namespace zov::books::vat {
namespace {

TEST(DesignTest, PiecesAreContiguousAndAddUpToTheirPublishedLength) {
  for (const Design* d : AllDesigns()) {
    SCOPED_TRACE(d->name);
    for (const Piece& piece : d->pieces) {
      SCOPED_TRACE(piece.name);
      int next = 1;
      for (const Field& f : piece.fields) {
        SCOPED_TRACE("position " + std::to_string(f.position) + " key '" + std::string(f.key) + "'");
        EXPECT_EQ(f.position, next);
        EXPECT_GT(f.length, 0);
        if (!f.fixed.empty()) {
          EXPECT_EQ(static_cast<int>(f.fixed.size()), f.length);
        }
        if (f.type != FieldType::kText) {
          EXPECT_LE(f.length, 17);
          for (char c : f.fixed) {
            EXPECT_TRUE(c >= '0' && c <= '9');
          }
        }
        next = f.position + f.length;
      }
      EXPECT_EQ(next - 1, piece.length);
    }
  }
}

// Box numbers name one field each; names may repeat only with the same
// type across pieces (the year and period of the envelope and page 1 are
// the same values).
TEST(DesignTest, EveryBoxTheRulesNameIsOneFieldOfTheTable) {
  for (const Design* d : AllDesigns()) {
    SCOPED_TRACE(d->name);
    std::map<std::string, int> boxes;
    for (const Piece& piece : d->pieces)
      for (const Field& f : piece.fields)
        if (!f.key.empty() && f.key[0] >= '0' && f.key[0] <= '9') ++boxes[std::string(f.key)];
    for (const auto& [box, count] : boxes) EXPECT_EQ(count, 1) << "box " << box;

    std::set<std::string> named;
    for (const Sum& s : d->sums) {
      named.insert(std::string(s.total));
      for (const Term& t : s.terms) {
        EXPECT_TRUE(t.sign == 1 || t.sign == -1) << s.total << " " << t.box;
        // Page 2's result is never written and counts as 0.
        if (t.box != "58") named.insert(std::string(t.box));
      }
    }
    for (const RateRow& r : d->rates) named.insert({std::string(r.base), std::string(r.rate_box), std::string(r.quota)});
    const Boxes& b = d->boxes;
    for (std::string_view box : {b.modified_base, b.modified_quota, b.total_output, b.total_deductible,
                                 b.general_result, b.sum_of_results, b.state_percent, b.state_share, b.return_result,
                                 b.final_result, b.year_general, b.year_exempt, b.year_volume})
      named.insert(std::string(box));
    for (std::string_view box : b.territory) named.insert(std::string(box));
    named.insert({std::string(d->state_share.share), std::string(d->state_share.base),
                  std::string(d->state_share.percent)});
    for (const std::string& box : named) EXPECT_NE(FindField(*d, box), nullptr) << "box " << box;
  }
}

TEST(DesignTest, RateRowsCarryTheirRateAsFixedText) {
  for (const Design* d : AllDesigns()) {
    SCOPED_TRACE(d->name);
    for (const RateRow& r : d->rates) {
      SCOPED_TRACE(r.rate);
      const Field* rate = FindField(*d, r.rate_box);
      ASSERT_NE(rate, nullptr);
      EXPECT_EQ(rate->fixed, format::ZeroPad(r.rate, 5));
      EXPECT_EQ(FindField(*d, r.base)->type, FieldType::kUnsigned);
      EXPECT_EQ(FindField(*d, r.quota)->type, FieldType::kUnsigned);
      EXPECT_EQ(FindRateRow(*d, r.rate), &r);
    }
    // Modifications carry a sign.
    EXPECT_EQ(FindField(*d, d->boxes.modified_base)->type, FieldType::kSigned);
    EXPECT_EQ(FindField(*d, d->boxes.modified_quota)->type, FieldType::kSigned);
  }
}

// 2026: the lengths and positions the agency publishes for DR303e26v101.
TEST(DesignTest, Design2026) {
  const Design* d = FindDesign(2026);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->name, "DR303e26v101");
  std::map<std::string_view, int> lengths;
  int always = 0, annual = 0;
  for (const Piece& p : d->pieces) {
    lengths[p.name] = p.length;
    (p.use == PieceUse::kAlways ? always : annual) += p.length;
  }
  EXPECT_EQ(lengths, (std::map<std::string_view, int>{{"envelope", 328}, {"page 1", 1581}, {"page 3", 1017},
                                                      {"page 4", 998}, {"page DID", 823}, {"closing tag", 18}}));
  EXPECT_EQ(always, 3767);
  EXPECT_EQ(always + annual, 4765);
  struct Place {
    std::string_view key;
    int position, length;
    FieldType type;
  } places[] = {
      {"TIPO_DECLARACION", 13, 1, FieldType::kText}, {"NIF", 14, 9, FieldType::kText},
      {"NOMBRE", 23, 80, FieldType::kText},          {"PAGO_CUENTA_CARBURANTES", 130, 1, FieldType::kUnsigned},
      {"165", 170, 17, FieldType::kUnsigned},        {"01", 209, 17, FieldType::kUnsigned},
      {"07", 326, 17, FieldType::kUnsigned},         {"09", 348, 17, FieldType::kUnsigned},
      {"14", 433, 17, FieldType::kSigned},           {"168", 506, 17, FieldType::kUnsigned},
      {"27", 696, 17, FieldType::kSigned},           {"46", 1019, 17, FieldType::kSigned},
      {"120", 46, 17, FieldType::kSigned},           {"65", 216, 5, FieldType::kUnsigned},
      {"108", 323, 17, FieldType::kSigned},          {"112", 391, 17, FieldType::kUnsigned},
      {"71", 408, 17, FieldType::kSigned},           {"SIN_ACTIVIDAD", 425, 1, FieldType::kText},
      {"EPIGRAFE", 16, 4, FieldType::kText},         {"107", 76, 5, FieldType::kUnsigned},
      {"83", 149, 17, FieldType::kSigned},           {"88", 370, 17, FieldType::kSigned},
      {"MARCA_SEPA", 194, 1, FieldType::kUnsigned},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.key);
    const Field* f = FindField(*d, p.key);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->position, p.position);
    EXPECT_EQ(f->length, p.length);
    EXPECT_EQ(f->type, p.type);
  }
  // Only 21, 10 and 4 % have a rate of their own in 2026.
  for (int16_t rate : {int16_t{0}, int16_t{200}, int16_t{500}, int16_t{750}, int16_t{1200}, int16_t{1600}})
    EXPECT_EQ(FindRateRow(*d, rate), nullptr) << rate;
}

TEST(DesignTest, AYearWithoutATableIsRefused) {
  for (int year : {2023, 2024, 2025, 2027, 0, -1, 9999}) {
    const Design* d = FindDesign(2026);
    const platform::Status s = DesignForYear(year, &d);
    EXPECT_EQ(d, nullptr) << year;
    EXPECT_EQ(s.message(), "no record design of the VAT return for " + std::to_string(year) +
                               ": the agency publishes one for each year, and this program has 2026");
  }
  const Design* d = nullptr;
  EXPECT_TRUE(DesignForYear(2026, &d).ok());
  EXPECT_EQ(d, FindDesign(2026));
}

}  // namespace
}  // namespace zov::books::vat
