#include "tools/zovllibres/xlsx_book.h"

#include <fstream>
#include <sstream>

#include "gtest/gtest.h"
#include "platform/posix_env.h"
#include "platform/testing/temp_dir.h"

namespace zov::books {
namespace {

// What openpyxl reads from a book: read_books.py's lines.
std::string ReadBack(const platform::TempDir& dir, const std::string& book) {
  const std::string out = dir.path() + "read.txt";
  const std::string command = "exec /usr/bin/python3 '" + std::string(ZOVLLIBRES_TESTDATA) + "read_books.py' '" +
                              book + "' >'" + out + "' 2>&1";
  int exit_code = -1;
  EXPECT_TRUE(platform::NewPosixProcessRunner()->RunAndWait("/bin/sh", {"-c", command}, &exit_code).ok());
  std::ifstream in(out, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(exit_code, 0) << text.str();
  return text.str();
}

// Each kind of cell, with the values that need care, as a spreadsheet
// reader sees it: type, number format and value.
TEST(XlsxBookTest, CellsReadBackAsWritten) {
  struct Case {
    int column;
    Cell cell;
    const char* seen;  // "TYPE\tFORMAT\tVALUE" as read_books.py prints it
  };
  const Case cases[] = {
      {kExercise, Cell::Whole(2026), "n\tGeneral\t2026"},
      {kPeriod, Cell::Text("4T"), "s\t@\t4T"},
      {kRecipientName, Cell::Text("A & B <C> \"D\""), "s\t@\tA & B <C> \"D\""},
      {kRecipientId, Cell::Text(" 12 "), "s\t@\t 12 "},
      {kCadastralReference, Cell::Text("MU\xA5OZ \x80"), "s\t@\tMU\xC3\x91OZ \xC3\x87"},
      {kTotal, Cell::Amount(123456), "n\t#,##0.00\t1234.56"},
      {kTaxBase, Cell::Amount(123450), "n\t#,##0.00\t1234.5"},
      {kVatAmount, Cell::Amount(123400), "n\t#,##0.00\t1234"},
      {kWithholdingAmount, Cell::Amount(-5), "n\t#,##0.00\t-0.05"},
      {kVatRate, Cell::Amount(0), "n\t#,##0.00\t0"},
      {kIssueDate, Cell::Date(20260315), "d\tdd/mm/yyyy\t2026-03-15 00:00:00"},
      {kOperationDate, Cell::Date(20240229), "d\tdd/mm/yyyy\t2024-02-29 00:00:00"},
      {kCollectionDate, Cell::Date(20260231), "s\t@\t20260231"},  // no such day: shown as it is
  };
  platform::TempDir dir;
  const std::string path = dir.path() + "book.xlsx";
  std::unique_ptr<XlsxBook> book;
  ASSERT_TRUE(XlsxBook::Start(path, BookType::kUnified, &book).ok());
  BookRow row;
  for (const Case& c : cases) row[c.column] = c.cell;
  ASSERT_TRUE(book->AddRow(row).ok());
  BookRow second;
  second[kExercise] = Cell::Whole(2027);
  ASSERT_TRUE(book->AddRow(second).ok());
  ASSERT_TRUE(book->Finish().ok());

  const std::string seen = ReadBack(dir, path);
  for (const Case& c : cases) {
    const std::string line = "cell\t" + ColumnLetters(c.column) + "3\t" + c.seen + "\n";
    EXPECT_NE(seen.find(line), std::string::npos) << "missing: " << line;
  }
  EXPECT_NE(seen.find("cell\tA4\tn\tGeneral\t2027\n"), std::string::npos);
  EXPECT_NE(seen.find("sheet\tEXPEDIDAS_INGRESOS\t4\t36\t"), std::string::npos) << seen.substr(0, 200);
}

// Rows past the compression buffer: every one arrives, in order.
TEST(XlsxBookTest, LongBookKeepsEveryRow) {
  platform::TempDir dir;
  const std::string path = dir.path() + "long.xlsx";
  std::unique_ptr<XlsxBook> book;
  ASSERT_TRUE(XlsxBook::Start(path, BookType::kVat, &book).ok());
  constexpr int kRows = 3000;
  for (int i = 0; i < kRows; ++i) {
    BookRow row;
    row[kNumber] = Cell::Text(std::to_string(i));
    row[kTotal] = Cell::Amount(i);
    ASSERT_TRUE(book->AddRow(row).ok());
  }
  ASSERT_TRUE(book->Finish().ok());
  const std::string seen = ReadBack(dir, path);
  EXPECT_NE(seen.find("sheet\tEXPEDIDAS\t" + std::to_string(kRows + 2) + "\t"), std::string::npos);
  EXPECT_NE(seen.find("cell\tL" + std::to_string(kRows + 2) + "\ts\t@\t" + std::to_string(kRows - 1) + "\n"),
            std::string::npos);
}

TEST(XlsxBookTest, AFolderThatIsNotThereIsAnError) {
  platform::TempDir dir;
  std::unique_ptr<XlsxBook> book;
  EXPECT_FALSE(XlsxBook::Start(dir.path() + "missing/book.xlsx", BookType::kUnified, &book).ok());
}

}  // namespace
}  // namespace zov::books
