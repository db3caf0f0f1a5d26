#include "register/consumer_thread.h"

#include <memory>

#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

// Writes each event with the bytes of every record the walk reads and the
// line's amounts, so that any record a consumer could look at is compared.
class Imprinter : public WalkConsumer {
 public:
  std::vector<std::string> events;
  void OwnerStart(const RecordVariables& r) override { events.push_back("owner " + Records(r)); }
  void GroupStart(const RecordVariables& r) override { events.push_back("group " + Records(r)); }
  void PropertyStart(const RecordVariables& r) override { events.push_back("property " + Records(r)); }
  void Line(const RecordVariables& r, const LineAmounts& a) override {
    events.push_back("line " + std::to_string(a.exempt) + " " + std::to_string(a.tax_base) + " " + Records(r));
  }
  void OwnerEnd(const RecordVariables& r) override { events.push_back("end " + Records(r)); }

 private:
  static std::string Records(const RecordVariables& r) {
    std::string all;
    for (int16_t number : kWalkFiles) {
      const std::span<const char> bytes = r.ForFile(number);
      all.append(bytes.data(), bytes.size());
    }
    return all;
  }
};

std::string Digits(int n, int width) {
  std::string s = std::to_string(n);
  return std::string(width - s.size(), '0') + s;
}

// Owners with groups, properties with and without a contract, receipts
// inside and outside the period: more lines than one batch holds.
void Fill(Harness& h, int owners, int receipts_per_property) {
  int invoice = 0;
  for (int o = 1; o <= owners; ++o) {
    const std::string owner = Digits(o, 4);
    h.Add(kFileVPropiet, Owner(owner, "OWNER*" + owner));
    for (int g = 1; g <= 2; ++g) {
      const std::string group = owner + Digits(g, 4);
      h.Add(kFileVGrups, Group(group, "GROUP " + group));
      for (int p = 1; p <= 4; ++p) {
        const std::string property = group + Digits(p, 4);
        h.Add(kFileVDepBase, Property(property, "TENANT " + property, "ES1"));
        if (p % 2 == 0) h.Add(kFileVDepCont, Contract(property, p == 2 ? "V" : "C", "N"));
        for (int r = 0; r < receipts_per_property; ++r) {
          // Every fifth receipt falls before the period.
          const std::string date = (r % 5 == 0 ? "2025" : "2026") + Digits(1 + r % 12, 2) + Digits(1 + r % 28, 2);
          ReceiptRecord receipt = Receipt(property, date, Digits(++invoice, 8));
          receipt.SetStoredTaxBase(1000 + invoice);
          h.Add(kFileVCobros, receipt);
        }
      }
    }
  }
}

// The consumers behind the thread see exactly the events, amounts and
// record bytes they see when the walk calls them itself.
TEST(ConsumerThreadTest, ConsumersSeeWhatTheWalkShows) {
  struct Case {
    int owners;
    int receipts_per_property;
  };
  for (const Case c : {Case{0, 0}, Case{1, 1}, Case{3, 2}, Case{4, 40}}) {
    SCOPED_TRACE(std::to_string(c.owners) + " owners, " + std::to_string(c.receipts_per_property) + " receipts");
    Harness h;
    h.OpenFiles();
    Fill(h, c.owners, c.receipts_per_property);

    Imprinter direct;
    WalkConsumer* direct_consumers[] = {&direct};
    ASSERT_TRUE(WalkRegister(h.env, h.files, h.records, h.state.params, direct_consumers).ok());

    Imprinter first, second;
    WalkConsumer* consumers[] = {&first, &second};
    auto replica = std::make_unique<RecordVariables>(h.records);
    replica->receipt.Fill('x');  // what the walk leaves behind must not matter
    {
      ConsumerThread thread(*replica, consumers);
      WalkConsumer* walk_consumers[] = {&thread};
      ASSERT_TRUE(WalkRegister(h.env, h.files, h.records, h.state.params, walk_consumers).ok());
      if (c.owners % 2 == 1) thread.Finish();  // otherwise its end finishes
    }
    EXPECT_EQ(first.events.size(), direct.events.size());
    EXPECT_TRUE(first.events == direct.events);
    EXPECT_TRUE(second.events == direct.events);
  }
}

}  // namespace
}  // namespace zov::reg
