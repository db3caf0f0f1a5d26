#include "books/xlsx_book.h"

#include <fstream>
#include <sstream>

#include "gtest/gtest.h"
#include "platform/native_env.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/temp_dir.h"
#include "tests/books/zip_reader.h"

namespace zov::books {
namespace {

const RunTime kTime = RunTime::FromSeconds(1700000000);

std::string Letters(int column) { return std::string(reg::SheetColumnLetters(column)); }

// What openpyxl reads from a book: read_books.py's lines (Linux only).
std::string ReadBack(const platform::TempDir& dir, const std::string& book) {
  const std::string out = dir.path() + "read.txt";
  const std::string command = "exec /usr/bin/python3 '" + std::string(BOOKS_TESTDATA) + "read_books.py' '" + book +
                              "' >'" + out + "' 2>&1";
  int exit_code = -1;
  EXPECT_TRUE(platform::NewNativeProcessRunner()->RunAndWait("/bin/sh", {"-c", command}, &exit_code).ok());
  std::ifstream in(out, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(exit_code, 0) << text.str();
  return text.str();
}

// Writes a whole book of `rows` rows; the first failure is returned.
platform::Status WriteBook(platform::FileSystem& fs, const std::string& name, int rows, BookType type = BookType::kVat,
                           const RunTime& time = kTime) {
  std::unique_ptr<XlsxBook> book;
  platform::Status s = XlsxBook::Start(fs, name, type, time, &book);
  for (int i = 0; s.ok() && i < rows; ++i) {
    BookRow row;
    row[kNumber] = Cell::Text(std::to_string(i));
    row[kTotal] = Cell::Amount(i);
    s = book->AddRow(row);
  }
  uint64_t size = 0;
  if (s.ok()) s = book->Finish(&size);
  return s;
}

std::string Contents(platform::FileSystem& fs, const std::string& name) {
  std::string bytes;
  return fs.ReadFile(name, &bytes).ok() ? bytes : "(none)";
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
  auto fs = platform::NewNativeFileSystem();
  const std::string path = dir.path() + "book.xlsx";
  std::unique_ptr<XlsxBook> book;
  ASSERT_TRUE(XlsxBook::Start(*fs, path, BookType::kUnified, kTime, &book).ok());
  BookRow row;
  for (const Case& c : cases) row[c.column] = c.cell;
  ASSERT_TRUE(book->AddRow(row).ok());
  BookRow second;
  second[kExercise] = Cell::Whole(2027);
  ASSERT_TRUE(book->AddRow(second).ok());
  uint64_t size = 0;
  ASSERT_TRUE(book->Finish(&size).ok());

  const std::string seen = ReadBack(dir, path);
  for (const Case& c : cases) {
    const std::string line = "cell\t" + Letters(c.column) + "3\t" + c.seen + "\n";
    EXPECT_NE(seen.find(line), std::string::npos) << "missing: " << line;
  }
  EXPECT_NE(seen.find("cell\tA4\tn\tGeneral\t2027\n"), std::string::npos);
  EXPECT_NE(seen.find("sheet\tEXPEDIDAS_INGRESOS\t4\t36\t"), std::string::npos) << seen.substr(0, 200);
}

// Rows past the compression buffer: every one arrives, in order.
TEST(XlsxBookTest, LongBookKeepsEveryRow) {
  platform::TempDir dir;
  auto fs = platform::NewNativeFileSystem();
  const std::string path = dir.path() + "long.xlsx";
  constexpr int kRows = 3000;
  ASSERT_TRUE(WriteBook(*fs, path, kRows).ok());
  const std::string seen = ReadBack(dir, path);
  EXPECT_NE(seen.find("sheet\tEXPEDIDAS\t" + std::to_string(kRows + 2) + "\t"), std::string::npos);
  EXPECT_NE(seen.find("cell\tL" + std::to_string(kRows + 2) + "\ts\t@\t" + std::to_string(kRows - 1) + "\n"),
            std::string::npos);
}

// The book's parts, as a zip reader finds them: every entry whole, the
// issued sheet holding every row, the run's time in the properties.
TEST(XlsxBookTest, PartsOfTheZip) {
  platform::TempDir dir;
  auto fs = platform::NewNativeFileSystem();
  const std::string path = dir.path() + "parts.xlsx";
  ASSERT_TRUE(WriteBook(*fs, path, 5000, BookType::kUnified).ok());
  std::vector<ZipEntryRead> entries;
  ASSERT_EQ(ReadZip(Contents(*fs, path), &entries), "");
  std::string names;
  for (const ZipEntryRead& e : entries) names += e.name + " ";
  EXPECT_EQ(names,
            "[Content_Types].xml _rels/.rels docProps/app.xml docProps/core.xml xl/_rels/workbook.xml.rels "
            "xl/workbook.xml xl/styles.xml xl/worksheets/sheet2.xml xl/worksheets/sheet1.xml ");
  ASSERT_EQ(entries.size(), 9u);
  const std::string& issued = entries[8].data;
  EXPECT_NE(issued.find("<row r=\"5002\"><c r=\"L5002\" s=\"2\" t=\"inlineStr\"><is><t>4999</t></is></c>"),
            std::string::npos);
  EXPECT_TRUE(issued.ends_with("</worksheet>"));
  // Header texts of the design, in UTF-8 with their line breaks.
  EXPECT_NE(issued.find("<t>Fecha\nExpedici\xC3\xB3n</t>"), std::string::npos);
  EXPECT_NE(issued.find("art\xC3\xAD" "culo 7.2.1\xC2\xBA de"), std::string::npos);
  EXPECT_NE(entries[3].data.find(">2023-11-14T22:13:20Z</dcterms:created>"), std::string::npos) << entries[3].data;
  EXPECT_NE(entries[2].data.find("<vt:lpstr>EXPEDIDAS_INGRESOS</vt:lpstr><vt:lpstr>RECIBIDAS_GASTOS</vt:lpstr>"),
            std::string::npos);
}

// A failure at any step (creating the file, writing a block) leaves no
// file behind; an entry already at the name is never written.
TEST(XlsxBookTest, AFailureAtAnyStepLeavesNoFile) {
  using Op = platform::FaultFileSystem::Op;
  struct Case {
    Op op;
    int nth;
  } cases[] = {{Op::kOpen, 1}, {Op::kWrite, 1}, {Op::kWrite, 2}, {Op::kWrite, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "op " << static_cast<int>(c.op) << " call " << c.nth);
    platform::TempDir dir;
    auto base = platform::NewNativeFileSystem();
    platform::FaultFileSystem fs(base.get());
    fs.FailAt(c.op, c.nth);
    const platform::Status s = WriteBook(fs, dir.path() + "book.xlsx", 20000);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.message().find("injected"), std::string::npos) << s.message();
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(base->ListDirectory(dir.path(), &entries).ok());
    for (const auto& e : entries) ADD_FAILURE() << "left behind: " << e.name;
  }
  platform::TempDir dir;
  auto fs = platform::NewNativeFileSystem();
  const std::string name = dir.path() + "book.xlsx";
  ASSERT_TRUE(fs->WriteFile(name, "someone else's").ok());
  EXPECT_TRUE(WriteBook(*fs, name, 3).IsAlreadyExists());
  EXPECT_EQ(Contents(*fs, name), "someone else's");
}

// A book dropped before its end takes its file with it.
TEST(XlsxBookTest, ABookDroppedUnfinishedLeavesNothing) {
  platform::TempDir dir;
  auto fs = platform::NewNativeFileSystem();
  const std::string name = dir.path() + "book.xlsx";
  {
    std::unique_ptr<XlsxBook> book;
    ASSERT_TRUE(XlsxBook::Start(*fs, name, BookType::kVat, kTime, &book).ok());
    EXPECT_NE(Contents(*fs, name), "(none)");
  }
  EXPECT_EQ(Contents(*fs, name), "(none)");
}

// The same rows at the same time: the same bytes; another time, other bytes.
TEST(XlsxBookTest, TheSameBookTwiceIsTheSameBytes) {
  platform::TempDir dir;
  auto fs = platform::NewNativeFileSystem();
  ASSERT_TRUE(WriteBook(*fs, dir.path() + "a.xlsx", 2000).ok());
  ASSERT_TRUE(WriteBook(*fs, dir.path() + "b.xlsx", 2000).ok());
  ASSERT_TRUE(WriteBook(*fs, dir.path() + "c.xlsx", 2000, BookType::kVat, RunTime::FromSeconds(1700000002)).ok());
  EXPECT_TRUE(Contents(*fs, dir.path() + "a.xlsx") == Contents(*fs, dir.path() + "b.xlsx"));
  EXPECT_FALSE(Contents(*fs, dir.path() + "a.xlsx") == Contents(*fs, dir.path() + "c.xlsx"));
}

TEST(XlsxBookTest, AFolderThatIsNotThereIsAnError) {
  platform::TempDir dir;
  auto fs = platform::NewNativeFileSystem();
  std::unique_ptr<XlsxBook> book;
  EXPECT_FALSE(XlsxBook::Start(*fs, dir.path() + "missing/book.xlsx", BookType::kUnified, kTime, &book).ok());
}

}  // namespace
}  // namespace zov::books
