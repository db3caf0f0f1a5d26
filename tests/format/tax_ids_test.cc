#include "format/tax_ids.h"

#include "gtest/gtest.h"

namespace zov::format {
namespace {

TEST(TaxIdsTest, ClassifiesNifsByShapeAndCheckCharacter) {
  struct Case {
    std::string nif;
    NifKind kind;
  } cases[] = {
      {"12345678Z", NifKind::kDni},        {"00000000T", NifKind::kDni},
      {"12345678A", NifKind::kInvalid},    {"12345678z", NifKind::kInvalid},
      {"1234567L", NifKind::kInvalid},     {"012345678Z", NifKind::kInvalid},
      {"X1234567L", NifKind::kNie},        {"Y1234567X", NifKind::kNie},
      {"Z1234567R", NifKind::kNie},        {"X1234567X", NifKind::kInvalid},
      {"K0867756N", NifKind::kIndividual}, {"K0867756J", NifKind::kInvalid},
      {"A58818501", NifKind::kEntity},     {"B08222341", NifKind::kEntity},
      {"B08222342", NifKind::kInvalid},    {"B0822234A", NifKind::kInvalid},
      {"P0800000B", NifKind::kEntity},     {"P08000002", NifKind::kInvalid},
      {"G08000002", NifKind::kEntity},     {"G0800000B", NifKind::kEntity},
      {"G0800000C", NifKind::kInvalid},    {"T1234567A", NifKind::kInvalid},
      {"B-8222341", NifKind::kInvalid},    {"", NifKind::kInvalid},
      {"12345678 ", NifKind::kInvalid},    {"\xA5" "1234567A", NifKind::kInvalid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nif);
    EXPECT_EQ(ClassifyNif(c.nif), c.kind);
  }
}

TEST(TaxIdsTest, MadeNumbersPassTheirOwnCheck) {
  for (uint32_t n : {0u, 1u, 12345678u, 99999999u})
    EXPECT_EQ(ClassifyNif(std::string(8 - std::to_string(n).size(), '0') + std::to_string(n) + DniLetter(n)),
              NifKind::kDni);
  for (char entity : std::string("ABCDEFGHJNPQRSUVW"))
    EXPECT_EQ(ClassifyNif(std::string(1, entity) + "0812345" + EntityControl(entity, "0812345")), NifKind::kEntity)
        << entity;
}

TEST(TaxIdsTest, CadastralReferences) {
  struct Case {
    std::string reference;
    bool valid;
  } cases[] = {
      {"9872023VH5797S0001WX", true},   {"9872023VH5797S0001WY", false}, {"9872023VH5797S0001", false},
      {"9872023vh5797s0001WX", false},  {"9872023VH5797S0001WX ", false}, {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reference);
    EXPECT_EQ(IsValidCadastralReference(c.reference), c.valid);
  }
  // N-tilde counts as its own letter between N and O.
  const std::string with_enye = "1234567\xA5" "B1234N0001";
  EXPECT_TRUE(IsValidCadastralReference(with_enye + CadastralControl(with_enye)));
  EXPECT_NE(CadastralControl(with_enye), CadastralControl("1234567NB1234N0001"));
}

}  // namespace
}  // namespace zov::format
