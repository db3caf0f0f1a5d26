#include "books/zip_writer.h"

#include <zlib.h>

#include <functional>
#include <random>

#include "gtest/gtest.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/memory_file_system.h"
#include "tests/books/zip_reader.h"

namespace zov::books {
namespace {

const ZipTimestamp kStamp = ZipTimestamp::Of(RunTime::FromSeconds(1700000000));

struct Archive {
  platform::MemoryFileSystem memory;
  platform::FaultFileSystem fs{&memory};
  std::unique_ptr<platform::ByteFile> file;
  Archive() { EXPECT_TRUE(fs.OpenByteFile("/a.zip", platform::OpenMode::kCreateNew, &file).ok()); }
  std::string Bytes() {
    std::string bytes;
    EXPECT_TRUE(memory.ReadFile("/a.zip", &bytes).ok());
    return bytes;
  }
};

std::string Noise(std::size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(random());
  return s;
}

// Entries of every shape a book has and more, read back by a strict reader:
// empty, small, given in many pieces, larger than a block of compressed
// bytes, and data that does not compress.
TEST(ZipWriterTest, EntriesReadBackWhole) {
  struct Entry {
    std::string name;
    std::vector<std::string> pieces;
  };
  std::string sheet;
  for (int i = 0; i < 20000; ++i) sheet += "<row r=\"" + std::to_string(i) + "\"><c t=\"n\"><v>1</v></c></row>";
  std::vector<std::string> rows;
  for (std::size_t at = 0; at < sheet.size(); at += 777) rows.push_back(sheet.substr(at, 777));
  const std::vector<Entry> entries = {
      {"[Content_Types].xml", {"<Types/>"}},
      {"empty", {}},
      {"empty pieces", {"", "", ""}},
      {"xl/worksheets/sheet1.xml", rows},
      {"noise", {Noise(300000, 1)}},
      {"last", {"x"}},
  };
  for (int level : {Z_BEST_SPEED, Z_DEFAULT_COMPRESSION}) {
    SCOPED_TRACE(level);
    Archive a;
    ZipWriter zip(*a.file, "/a.zip", kStamp, level);
    for (const Entry& e : entries) {
      zip.BeginEntry(e.name);
      for (const std::string& piece : e.pieces) zip.Write(piece);
      zip.EndEntry();
    }
    zip.Finish();
    ASSERT_TRUE(zip.status().ok()) << zip.status().message();
    const std::string bytes = a.Bytes();
    EXPECT_EQ(zip.size(), bytes.size());
    std::vector<ZipEntryRead> read;
    ASSERT_EQ(ReadZip(bytes, &read), "");
    ASSERT_EQ(read.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      SCOPED_TRACE(entries[i].name);
      std::string whole;
      for (const std::string& piece : entries[i].pieces) whole += piece;
      EXPECT_EQ(read[i].name, entries[i].name);
      EXPECT_TRUE(read[i].data == whole) << read[i].data.size() << " bytes read, " << whole.size() << " written";
      EXPECT_EQ(read[i].date, kStamp.date);
      EXPECT_EQ(read[i].time, kStamp.time);
    }
  }
}

// A failed write anywhere (a block of data, the directory, a header put
// right afterwards) is kept, named, and makes every later call a no-op.
TEST(ZipWriterTest, TheFirstFailureIsKept) {
  for (int nth = 1;; ++nth) {
    SCOPED_TRACE(nth);
    Archive a;
    a.fs.FailAt(platform::FaultFileSystem::Op::kWrite, nth);
    ZipWriter zip(*a.file, "/a.zip", kStamp, Z_BEST_SPEED);
    for (int entry = 0; entry < 3; ++entry) {
      zip.BeginEntry("e" + std::to_string(entry));
      zip.Write(Noise(100000, static_cast<uint32_t>(entry)));
      zip.EndEntry();
    }
    zip.Finish();
    if (a.fs.Calls(platform::FaultFileSystem::Op::kWrite) < nth) {
      EXPECT_TRUE(zip.status().ok());  // every write was tried
      EXPECT_GT(nth, 3);
      break;
    }
    EXPECT_FALSE(zip.status().ok());
    EXPECT_NE(zip.status().message().find("injected write failure"), std::string::npos) << zip.status().message();
    EXPECT_EQ(a.fs.Calls(platform::FaultFileSystem::Op::kWrite), nth) << "written on after the failure";
  }
}

// Calls out of turn are the caller's fault; they are refused, not written.
TEST(ZipWriterTest, CallsOutOfTurnAreErrors) {
  struct Case {
    std::string what;
    std::function<void(ZipWriter&)> calls;
  } cases[] = {
      {"data before an entry", [](ZipWriter& z) { z.Write("x"); }},
      {"an entry inside an entry", [](ZipWriter& z) { z.BeginEntry("a"); z.BeginEntry("b"); }},
      {"an end without an entry", [](ZipWriter& z) { z.EndEntry(); }},
      {"finished inside an entry", [](ZipWriter& z) { z.BeginEntry("a"); z.Finish(); }},
      {"an entry after the end", [](ZipWriter& z) { z.Finish(); z.BeginEntry("a"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Archive a;
    ZipWriter zip(*a.file, "/a.zip", kStamp, Z_BEST_SPEED);
    c.calls(zip);
    EXPECT_FALSE(zip.status().ok());
  }
}

// MS-DOS time: to two seconds, from 1980 to 2107, clamped outside.
TEST(ZipWriterTest, Timestamps) {
  struct Case {
    int64_t seconds;
    int year, month, day, hour, minute, second;  // what the fields say
  } cases[] = {
      {0, 1980, 1, 1, 0, 0, 0},                         // 1970: before the field
      {315532800, 1980, 1, 1, 0, 0, 0},                 // 1980-01-01 00:00:00
      {1700000000, 2023, 11, 14, 22, 13, 20},
      {1700000001, 2023, 11, 14, 22, 13, 20},           // odd seconds: the even one before
      {1709208000 + 59, 2024, 2, 29, 12, 0, 58},        // a leap day
      {4354819199, 2107, 12, 31, 23, 59, 58},           // the field's last second
      {kLastRunTimeSecond, 2107, 12, 31, 23, 59, 58},  // after it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    const ZipTimestamp z = ZipTimestamp::Of(RunTime::FromSeconds(c.seconds));
    EXPECT_EQ((z.date >> 9) + 1980, c.year);
    EXPECT_EQ((z.date >> 5) & 15, c.month);
    EXPECT_EQ(z.date & 31, c.day);
    EXPECT_EQ(z.time >> 11, c.hour);
    EXPECT_EQ((z.time >> 5) & 63, c.minute);
    EXPECT_EQ((z.time & 31) * 2, c.second);
  }
}

}  // namespace
}  // namespace zov::books
