#include "books/nif_file.h"

#include "gtest/gtest.h"
#include "output/report_fields.h"

namespace zov::books {
namespace {

TEST(NifFileTest, ReadsCodesAndNifs) {
  OwnerNifs nifs;
  const std::string text =
      "\xEF\xBB\xBF# owner code;NIF\r\n"
      "0001;12345678Z\r\n"
      "\r\n"
      "  7 ; b08222341 \r\n"
      "0012;X1234567L\n"
      "13;12345678Z";  // the same NIF as owner 0001; no line end
  ASSERT_TRUE(ParseOwnerNifs(text, "nifs.csv", &nifs).ok());
  EXPECT_EQ(nifs.nif_of, (std::map<std::string, std::string, std::less<>>{
                             {"0001", "12345678Z"}, {"0007", "B08222341"}, {"0012", "X1234567L"}, {"0013", "12345678Z"}}));
  EXPECT_EQ(nifs.shared_with, (std::map<std::string, std::string, std::less<>>{{"0001", "0013"}, {"0013", "0001"}}));
}

// A value no NIF could be is kept short and marked, however long it is:
// what follows from it (messages, reports) never carries the whole value.
TEST(NifFileTest, AnEndlessValueIsKeptShort) {
  OwnerNifs nifs;
  const std::string text = "1;" + std::string(5 * 1000 * 1000, 'a') + "\n2;" + std::string(kNifKeptBytes, 'b') + "\n";
  ASSERT_TRUE(ParseOwnerNifs(text, "nifs.csv", &nifs).ok());
  EXPECT_EQ(nifs.nif_of.at("0001"), std::string(kNifKeptBytes, 'A') + std::string(output::kCutMark));
  EXPECT_EQ(nifs.nif_of.at("0002"), std::string(kNifKeptBytes, 'B'));
}

// Lines that are not "code;NIF" make the whole file unusable, with the line
// named.
TEST(NifFileTest, GarbageLinesAreRefusedWithTheirNumber) {
  struct Case {
    std::string text, message;
  } cases[] = {
      {"0001;12345678Z\nhello\n", "nifs.csv, line 2: expected \"owner code;NIF\""},
      {"0001;12345678Z;extra\n", "nifs.csv, line 1: expected \"owner code;NIF\""},
      {"\n\nABCD;12345678Z\n", "nifs.csv, line 3: the owner code must be 1 to 4 digits"},
      {"10000;12345678Z\n", "nifs.csv, line 1: the owner code must be 1 to 4 digits"},
      {"0001;\n", "nifs.csv, line 1: no NIF after the owner code"},
      {"1;12345678Z\n0001;B08222341\n", "nifs.csv, line 2: owner 0001 already has a NIF on line 1"},
      {"\x01\x02\xFF;;\n", "nifs.csv, line 1: expected \"owner code;NIF\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    OwnerNifs nifs;
    const platform::Status s = ParseOwnerNifs(c.text, "nifs.csv", &nifs);
    EXPECT_EQ(s.code(), platform::Status::Code::kInvalidArgument);
    EXPECT_EQ(s.message(), c.message);
  }
}

}  // namespace
}  // namespace zov::books
