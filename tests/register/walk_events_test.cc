#include "register/walk_events.h"

#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

// Writes each event as a short word with the code or invoice it concerns.
class Recorder : public WalkConsumer {
 public:
  std::vector<std::string> events;
  void OwnerStart(const RecordVariables& r) override { events.push_back("owner " + Code(r.owner.OwnerCode())); }
  void GroupStart(const RecordVariables& r) override { events.push_back("group " + Code(r.group.GroupCode())); }
  void PropertyStart(const RecordVariables& r) override {
    events.push_back("property " + Code(r.property.PropertyCode()) + " " +
                     std::string(r.contract.ContractKind()));
  }
  void Line(const RecordVariables& r, const LineAmounts& a) override {
    events.push_back("line " + format::UnpackDigits(r.receipt.InvoiceNumber()) + " " + std::to_string(a.tax_base));
  }
  void OwnerEnd(const RecordVariables& r) override { events.push_back("end " + Code(r.owner.OwnerCode())); }

 private:
  static std::string Code(std::string_view packed) { return format::UnpackDigits(packed); }
};

// Owner 0001 has two groups, the second with a property whose receipt is
// refused; owner 0002 has no selected receipt; owner 0003 one line. Every
// consumer sees the same events in the same order, and levels without lines
// give none.
TEST(WalkEventsTest, StartsOnlyForLevelsWithLinesAndEveryConsumerInOrder) {
  Harness h;
  h.OpenFiles();
  h.Add(kFileVPropiet, Owner("0001", "A*B"));
  h.Add(kFileVPropiet, Owner("0002", "C*D"));
  h.Add(kFileVPropiet, Owner("0003", "E*F"));
  h.Add(kFileVGrups, Group("00010001", "G11"));
  h.Add(kFileVGrups, Group("00010002", "G12"));
  h.Add(kFileVGrups, Group("00020001", "G21"));
  h.Add(kFileVGrups, Group("00030001", "G31"));
  for (std::string code : {"000100010001", "000100010002", "000100020001", "000200010001", "000300010001"})
    h.Add(kFileVDepBase, Property(code, "T", "ES1"));
  h.Add(kFileVDepCont, Contract("000100010002", "V", "N"));
  h.Add(kFileVCobros, Receipt("000100010001", "20260101", "00000001"));
  h.Add(kFileVCobros, Receipt("000100010001", "20260201", "00000002"));
  h.Add(kFileVCobros, Receipt("000100010002", "20260101", "00000003"));
  ReceiptRecord refused = Receipt("000100020001", "20260101", "00000004");
  refused.SetTrailingCode("  ");
  h.Add(kFileVCobros, refused);
  h.Add(kFileVCobros, Receipt("000200010001", "20250101", "00000005"));  // before DateFrom
  h.Add(kFileVCobros, Receipt("000300010001", "20261231", "00000006"));

  Recorder first, second;
  WalkConsumer* consumers[] = {&first, &second};
  ASSERT_TRUE(WalkRegister(h.env, h.files, h.records, h.state.params, consumers).ok());
  const std::vector<std::string> expected = {
      "owner 0001",          "group 00010001",      "property 000100010001  ", "line 00000001 100000",
      "line 00000002 100000", "property 000100010002 V", "line 00000003 100000", "end 0001",
      "owner 0003",          "group 00030001",      "property 000300010001  ", "line 00000006 100000",
      "end 0003"};
  EXPECT_EQ(first.events, expected);
  EXPECT_EQ(second.events, expected);
}

}  // namespace
}  // namespace zov::reg
