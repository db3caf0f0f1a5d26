#include "session/session_setup.h"

#include <gtest/gtest.h>

#include "platform/native_env.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/temp_dir.h"

namespace zov::session {
namespace {

class SessionSetupTest : public ::testing::Test {
 protected:
  void Write(const std::string& name, const std::string& contents) {
    ASSERT_TRUE(fs_->WriteFile(dir_.path() + name, contents).ok()) << name;
  }
  Session SetUp(std::map<std::string, std::string, std::less<>> vars) {
    platform::FakeEnvironment environment(std::move(vars));
    platform::Env env;
    env.fs = fs_.get();
    env.environment = &environment;
    Session session;
    SetUpSession(env, session, format_);
    return session;
  }

  platform::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::NewNativeFileSystem();
  format::FormatState format_;
};

TEST_F(SessionSetupTest, TempDirEndsInASeparator) {
  const std::string base = dir_.path() + "tmp";
  struct Case {
    std::string zovtmp;
    std::string want;
  } cases[] = {
      {base, base + "\\"},
      {base + "\\", base + "\\"},
      {base + "/", base + "/"},
      {"C:", "C:"},
      {"C:\\TMP\\", "C:\\TMP\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetUp({{"ZOVTMP", c.zovtmp}}).temp_dir, c.want) << c.zovtmp;
  }
}

TEST_F(SessionSetupTest, DirectoriesAndDeviceFromTheEnvironmentAndTerminalFile) {
  Write("OrvaTerm.ini", "[Sistema]\r\nSortida=LPT2 \r\n");
  Session s = SetUp({{"ZOVROOT", "/srv/orva"}, {"ZOVEXE", "/opt/orva/"}, {"ZOVTMP", dir_.path()}});
  EXPECT_EQ(s.data_root, "/srv/orva");  // used exactly as given
  EXPECT_EQ(s.exe_dir, "/opt/orva/");
  EXPECT_EQ(s.temp_dir, dir_.path());
  EXPECT_EQ(s.output_device, "LPT2 ");
  EXPECT_EQ(format_.accounting_currency, "E");
  EXPECT_EQ(format_.display_currency, "E");

  Session empty = SetUp({});
  EXPECT_EQ(empty.data_root, "");
  EXPECT_EQ(empty.output_device, "");
}

TEST_F(SessionSetupTest, WithoutZovTmpTheTerminalDirectoryIsUsed) {
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "term").ok());
  const std::string term_dir = dir_.path() + "term";
  std::string cwd;
  ASSERT_TRUE(fs_->GetCurrentDirectory(&cwd).ok());
  ASSERT_TRUE(fs_->SetCurrentDirectory(dir_.path()).ok());
  struct Case {
    std::string sessio;  // Sessio.ini in the current directory; empty: none
    std::string term;
    std::string want;
  } cases[] = {
      {"[Terminal]\r\nDir=/srv/t1\r\n", "", "/srv/t1\\"},
      {"[terminal]\r\ndir=C:\r\n", term_dir, "C:"},
      {"[Terminal]\r\nDir=\r\n", term_dir, term_dir + "\\"},  // empty Dir: TERM
      {"", term_dir + "/", term_dir + "/"},
      {"", "xterm-256color", ""},  // a terminal type, not a directory
      {"", "", ""},
  };
  for (const Case& c : cases) {
    fs_->DeleteFile("Sessio.ini").IgnoreError();
    if (!c.sessio.empty()) Write("Sessio.ini", c.sessio);
    std::map<std::string, std::string, std::less<>> vars;
    if (!c.term.empty()) vars["TERM"] = c.term;
    EXPECT_EQ(SetUp(vars).temp_dir, c.want) << c.sessio << " TERM=" << c.term;
  }
  ASSERT_TRUE(fs_->SetCurrentDirectory(cwd).ok());
}

TEST_F(SessionSetupTest, ColourTableFromTheSelectedColKey) {
  using T = ColourTable;
  const T kDefault = {{{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}}};
  struct Case {
    std::string pantalla;
    T want;
  } cases[] = {
      {"Seleccio=2\r\nCol2=14010701000700070007\r\n", {{{14, 1}, {7, 1}, {0, 7}, {0, 7}, {0, 7}}}},
      {"Col2=14010701000700070007\r\n", kDefault},  // no Seleccio: Col0, missing
      {"Seleccio=  3 apples\r\nCol3=01020304050607080910\r\n", {{{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}}},
      {"Seleccio=1.5\r\nCol2=0102\r\n", {{{1, 2}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}}},  // rounded; short colour text
      {"Seleccio=1\r\nCol1=xx07 9x\r\n", {{{0, 7}, {9, 0}, {0, 0}, {0, 0}, {0, 0}}}},
      {"Seleccio=1\r\nCol1=\r\n", kDefault},
  };
  for (const Case& c : cases) {
    Write("OrvaTerm.ini", "[Pantalla]\r\n" + c.pantalla);
    Session s = SetUp({{"ZOVTMP", dir_.path()}});
    for (std::size_t r = 0; r < 5; ++r) {
      EXPECT_EQ(s.colours[r].foreground, c.want[r].foreground) << c.pantalla << " index " << r;
      EXPECT_EQ(s.colours[r].background, c.want[r].background) << c.pantalla << " index " << r;
    }
  }
}

TEST_F(SessionSetupTest, LanguageIsAThreeCharacterField) {
  struct Case {
    std::string terminal;  // Idioma in section Sistema of OrvaTerm.ini
    std::string user;      // Idioma in section Usuari of Orva.ini
    std::string want;
  } cases[] = {
      {"SPAnish", "OCI", "SPA"},
      {"spa", "OCI", "spa"},  // case matters: Catalan behaviour
      {"ES", "OCI", "ES "},
      {"", "OCI", "OCI"},
      {"   ", "GLG", "GLG"},
      {"", "", "   "},
  };
  for (const Case& c : cases) {
    Write("OrvaTerm.ini", "[Sistema]\r\nIdioma=" + c.terminal + "\r\n");
    Write("Orva.ini", "[Usuari]\r\nIdioma=" + c.user + "\r\n");
    Session s = SetUp({{"ZOVTMP", dir_.path()}, {"ZOVROOT", dir_.path()}});
    EXPECT_EQ(s.language, c.want) << "terminal " << c.terminal << " user " << c.user;
    EXPECT_EQ(format_.language, c.want);
  }
}

TEST_F(SessionSetupTest, UserSettingsFileReadsOrvaIni) {
  Write("Orva.ini", "[Usuari]\r\nDecCaracter=,\r\n");
  UserSettingsFile settings(*fs_, dir_.path());
  EXPECT_EQ(settings.Read("Usuari", "DecCaracter"), ",");
  EXPECT_EQ(settings.Read("Usuari", "MilCaracter"), "");
}

}  // namespace
}  // namespace zov::session
