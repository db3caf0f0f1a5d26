#include "session/language_file.h"

#include <gtest/gtest.h>

#include "platform/native_env.h"
#include "platform/testing/temp_dir.h"

namespace zov::session {
namespace {

std::vector<std::string> Items(std::string_view contents) {
  LanguageItemReader reader(contents);
  std::vector<std::string> items;
  while (!reader.AtEnd()) items.push_back(reader.ReadItem());
  return items;
}

TEST(LanguageItemReaderTest, ReadsQuotedAndPlainItems) {
  struct Case {
    std::string contents;
    std::vector<std::string> want;
  } cases[] = {
      {"CODI,CODIGO,CODI,CODIGO\r\n", {"CODI", "CODIGO", "CODI", "CODIGO"}},
      {"CODI\r\nCODIGO\r\nCODI\r\nCODIGO\r\n", {"CODI", "CODIGO", "CODI", "CODIGO"}},
      {"   BASE ,x", {"BASE ", "x"}},                    // leading blanks skipped, trailing kept
      {"\"   BASE \",x", {"   BASE ", "x"}},
      {"\"a,b\r\nc\" \t\n,d", {"a,b\r\nc", "d"}},        // quotes keep commas and line breaks
      {"\"a\"\r\nb", {"a", "b"}},
      {"\"a\"b,c", {"a", "b", "c"}},                     // nothing to consume after the quote
      {"a\tb\nc,d", {"abc", "d"}},                       // tabs and line feeds dropped
      {",,x", {"", "", "x"}},
      {"\"unclosed, to the end", {"unclosed, to the end"}},
      {"a,b\x1A" "c,d", {"a", "b"}},                     // Ctrl-Z ends the file
      {"\x1A" "a", {}},
      {"caf\x82,\x80" "A", {"caf\x82", "\x80" "A"}},     // code page 850 bytes are data
      {"a\r", {"a"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Items(c.contents), c.want) << c.contents;
  }
}

TEST(LookUpTranslationTest, FirstMatchingGroupGivesTheLanguagesItem) {
  const std::string file = "CODI,CODIGO-GLG,CODI-OCI,CODIGO\r\n\"         BASE \",B-GLG,B-OCI,B-SPA\r\n"
                           "CODI,second,second,second\r\n";
  struct Case {
    std::string contents;
    std::string language;
    std::string text;
    std::string want;
  } cases[] = {
      {file, "SPA", "CODI", "CODIGO"},
      {file, "GLG", "CODI", "CODIGO-GLG"},
      {file, "OCI", "CODI", "CODI-OCI"},
      {file, "XYZ", "CODI", "CODI"},
      {file, "spa", "CODI", "CODI"},
      {file, "SPA", "CLIENT", "CLIENT"},
      {file, "SPA", "codi", "codi"},  // letter case matters
      {file, "SPA", "         BASE ", "B-SPA"},
      {"BASE,x,y,z\r\n", "SPA", "         BASE ", "         BASE "},
      {"         BASE ,x,y,z\r\n", "SPA", "         BASE ", "         BASE "},
      {"KEY,glg\r\n", "SPA", "KEY", ""},   // group cut short: empty translations
      {"KEY,glg\r\n", "GLG", "KEY", "glg"},
      {"A,1,2,3\r\nKEY", "SPA", "KEY", "KEY"},  // a last lone key has no group
      {"", "SPA", "KEY", "KEY"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LookUpTranslation(c.contents, c.language, c.text), c.want)
        << c.contents << " / " << c.language << " / " << c.text;
  }
}

class TranslateTextTest : public ::testing::Test {
 protected:
  TranslateTextTest() {
    env_.fs = fs_.get();
    session_.data_root = dir_.path();
    session_.program_code = "DAZOROV1";
  }
  bool Exists(const std::string& name) {
    platform::DirEntry e;
    return fs_->FindFirst(dir_.path() + name, &e).ok();
  }

  platform::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::NewNativeFileSystem();
  platform::Env env_;
  Session session_;
};

TEST_F(TranslateTextTest, CatalanTouchesNoFile) {
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "LOCALE").ok());
  session_.language = "CAT";
  EXPECT_EQ(TranslateText(env_, session_, "TOTAL GENERAL"), "TOTAL GENERAL");
  EXPECT_FALSE(Exists("LOCALE/DAZOROV1.LNG"));
}

TEST_F(TranslateTextTest, MissingFileIsCreatedEmpty) {
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "locale").ok());
  session_.language = "SPA";
  EXPECT_EQ(TranslateText(env_, session_, "CODI"), "CODI");
  std::string contents = "unread";
  ASSERT_TRUE(fs_->ReadFile(dir_.path() + "locale/DAZOROV1.LNG", &contents).ok());
  EXPECT_EQ(contents, "");
}

TEST_F(TranslateTextTest, MissingFolderGivesTheTextUntranslated) {
  session_.language = "SPA";
  EXPECT_EQ(TranslateText(env_, session_, "CODI"), "CODI");
  EXPECT_FALSE(Exists("LOCALE"));
}

TEST_F(TranslateTextTest, TranslatesFromTheProgramsFile) {
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "LOCALE").ok());
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + "LOCALE/DAZOROV1.LNG", "CODI,CODIGO-GLG,CODI,CODIGO\r\n").ok());
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + "LOCALE/OTHER.LNG", "CODI,x,x,OTHER\r\n").ok());
  session_.language = "SPA";
  EXPECT_EQ(TranslateText(env_, session_, "CODI"), "CODIGO");
  EXPECT_EQ(session_.language_file, "DAZOROV1");
  // The file's name is kept for the rest of the run.
  session_.program_code = "OTHER";
  EXPECT_EQ(TranslateText(env_, session_, "CODI"), "CODIGO");
  // Answers kept for one language are not given for another.
  session_.language = "GLG";
  EXPECT_EQ(TranslateText(env_, session_, "CODI"), "CODIGO-GLG");
  session_.language = "SPA";
  EXPECT_EQ(TranslateText(env_, session_, "CODI"), "CODIGO");
}

}  // namespace
}  // namespace zov::session
