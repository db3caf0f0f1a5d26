// The book writer against another user's links, and its files' mode
// whatever the umask, on the POSIX file system.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "books/xlsx_book.h"
#include "gtest/gtest.h"
#include "platform/native_env.h"
#include "platform/testing/temp_dir.h"
#include "tests/books/zip_reader.h"

namespace zov::books {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

platform::Status WriteBook(platform::FileSystem& files, const std::string& name) {
  std::unique_ptr<XlsxBook> book;
  platform::Status s = XlsxBook::Start(files, name, BookType::kUnified, RunTime::FromSeconds(1700000000), &book);
  BookRow row;
  row[kNumber] = Cell::Text("00000001");
  if (s.ok()) s = book->AddRow(row);
  uint64_t size = 0;
  if (s.ok()) s = book->Finish(&size);
  if (s.ok()) s = book->Commit();
  return s;
}

// A link planted at the temporary name or at the book's name, pointing at
// a file outside the folder: the file keeps its bytes, and the book's name
// ends up a file of its own holding the book.
TEST(BookLinkTest, APlantedLinkIsNeverWrittenThrough) {
  for (const std::string planted : {"book.xlsx.part", "book.xlsx"}) {
    SCOPED_TRACE(planted);
    platform::TempDir dir;
    fs::create_directory(dir.path() + "books");
    std::ofstream(dir.path() + "precious") << "not a book";
    fs::create_symlink(dir.path() + "precious", dir.path() + "books/" + planted);
    auto files = platform::NewNativeFileSystem();
    const platform::Status s = WriteBook(*files, dir.path() + "books/book.xlsx");
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(Slurp(dir.path() + "precious"), "not a book");
    const std::string book = dir.path() + "books/book.xlsx";
    EXPECT_FALSE(fs::is_symlink(book));
    std::vector<ZipEntryRead> entries;
    EXPECT_EQ(ReadZip(Slurp(book), &entries), "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(book + ".part")));
  }
}

// Books hold tax data: readable and writable by their owner only, even
// where the umask would let everyone read them.
TEST(BookModeTest, OwnerOnlyUnderAnyUmask) {
  platform::TempDir dir;
  auto files = platform::NewNativeFileSystem();
  const mode_t old_umask = ::umask(0);
  const platform::Status s = WriteBook(*files, dir.path() + "book.xlsx");
  ::umask(old_umask);
  ASSERT_TRUE(s.ok()) << s.message();
  struct stat st {};
  ASSERT_EQ(::stat((dir.path() + "book.xlsx").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace zov::books
