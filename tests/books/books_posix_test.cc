// The books and their folder against another user's links, and the books'
// mode whatever the umask, on the POSIX file system.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "books/output_folder.h"
#include "books/xlsx_book.h"
#include "gtest/gtest.h"
#include "platform/native_env.h"
#include "platform/testing/fake_clock.h"
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

platform::Status WriteBook(platform::FileSystem& files, const std::string& path) {
  std::unique_ptr<XlsxBook> book;
  platform::Status s = XlsxBook::Start(files, path, BookType::kUnified, RunTime::FromSeconds(1700000000), &book);
  BookRow row;
  row[kNumber] = Cell::Text("00000001");
  if (s.ok()) s = book->AddRow(row);
  uint64_t size = 0;
  if (s.ok()) s = book->Finish(&size);
  return s;
}

const OutputFolderSpec kSpec{"zovllibres", "manifest.csv", [](std::string_view) { return std::vector<std::string>(); }, ""};

// A link planted where a book is written is refused; one planted at the
// book's name in the folder, or left in the staging folder, is replaced or
// removed as a name, never written through; a link in place of the staging
// folder is refused. The file they point to keeps its bytes every time.
TEST(BookLinkTest, APlantedLinkIsNeverWrittenThrough) {
  platform::TempDir dir;
  const std::string precious = dir.path() + "precious";
  std::ofstream(precious) << "not a book";
  auto files = platform::NewNativeFileSystem();
  platform::FakeClock clock;
  const std::string out = dir.path() + "books/";
  fs::create_directory(out);

  fs::create_symlink(precious, dir.path() + "at-start.xlsx");
  EXPECT_FALSE(WriteBook(*files, dir.path() + "at-start.xlsx").ok());

  fs::create_symlink(precious, out + "book.xlsx");
  fs::create_directory(out + "zovllibres.new");
  fs::create_symlink(precious, out + "zovllibres.new/left.xlsx");
  {
    std::unique_ptr<OutputFolder> folder;
    ASSERT_TRUE(OutputFolder::Open(*files, clock, out, kSpec, "", &folder).ok());
    EXPECT_FALSE(fs::exists(fs::symlink_status(out + "zovllibres.new/left.xlsx")));
    ASSERT_TRUE(WriteBook(*files, folder->NewFile("book.xlsx")).ok());
    ASSERT_TRUE(files->WriteFile(folder->NewFile("manifest.csv"), "m").ok());
    const platform::Status s = folder->Commit({"book.xlsx", "manifest.csv"});
    ASSERT_TRUE(s.ok()) << s.message();
  }
  EXPECT_FALSE(fs::is_symlink(out + "book.xlsx"));
  std::vector<ZipEntryRead> entries;
  EXPECT_EQ(ReadZip(Slurp(out + "book.xlsx"), &entries), "");

  fs::create_directory(dir.path() + "elsewhere");
  fs::create_symlink(dir.path() + "elsewhere", out + "zovllibres.new");
  std::unique_ptr<OutputFolder> folder;
  const platform::Status s = OutputFolder::Open(*files, clock, out, kSpec, "", &folder);
  EXPECT_TRUE(s.IsInvalidArgument()) << s.message();
  EXPECT_TRUE(fs::is_empty(dir.path() + "elsewhere"));
  EXPECT_EQ(Slurp(precious), "not a book");
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
