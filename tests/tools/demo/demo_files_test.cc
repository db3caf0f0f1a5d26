#include "tools/demo/demo_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/format_state.h"
#include "format/packed.h"
#include "register/run_parameters.h"
#include "session/ini_file.h"
#include "session/language_file.h"

namespace zov::tools::demo {
namespace {

// Splits text whose every line must end in CRLF; a bare LF or CR fails.
std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "last line without CRLF";
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// The texts the printed register passes to the translation lookup.
const std::string_view kRegisterTexts[] = {
    "P\xB7GINA ", "LLIBRE REGISTRE DE FACTURES EMESES ENTRE ", " I ", "CODI", "CLIENT", "N.I.F.",
    "FACTURA", "DATA", "       EXEMPT ", "         BASE ", "TIPUS", "     IMPOSTOS ",
    "     RETENCI\xE0 ", "TOTAL ",
};

TEST(DemoFilesTest, LanguageFileTranslatesEveryRegisterTextKeepingColumnWidths) {
  const std::string contents = LanguageFileText();
  CrLfLines(contents);
  for (std::string_view text : kRegisterTexts) {
    for (std::string_view language : {"GLG", "OCI", "SPA"}) {
      const std::string translated = session::LookUpTranslation(contents, language, text);
      SCOPED_TRACE(std::string(language) + " [" + std::string(text) + "] -> [" + translated + "]");
      EXPECT_FALSE(translated.empty());
      // Column headings are padded: their width is the layout's.
      const bool heading = text.starts_with(' ') || text == "TIPUS";
      if (heading) {
        EXPECT_EQ(translated.size(), text.size());
      }
      if (text.ends_with(' ')) {
        EXPECT_TRUE(translated.ends_with(' '));
      }
      if (text.starts_with(' ')) {
        EXPECT_TRUE(translated.starts_with(' '));
      }
    }
    EXPECT_EQ(session::LookUpTranslation(contents, "CAT", text), text);
  }
  // A sample of the Spanish texts, accents as code page 850 bytes.
  EXPECT_EQ(session::LookUpTranslation(contents, "SPA", "P\xB7GINA "), "P\xB5GINA ");
  EXPECT_EQ(session::LookUpTranslation(contents, "SPA", "     RETENCI\xE0 "), "    RETENCI\xE0N ");
  EXPECT_EQ(session::LookUpTranslation(contents, "GLG", "     RETENCI\xE0 "), "     RETEN\x80\xC7O ");
  EXPECT_EQ(session::LookUpTranslation(contents, "OCI", "CODI"), "C\xE3" "DI");
  // Every text of the table is one the register prints.
  EXPECT_EQ(RegisterTranslations().size(), std::size(kRegisterTexts));
}

TEST(DemoFilesTest, RunParametersSelectTheLastQuarterEveryPropertyAndEveryClass) {
  for (bool keep : {true, false}) {
    SCOPED_TRACE(keep ? "keep CSV" : "delete CSV");
    const std::vector<std::string> lines = CrLfLines(RunParametersText(keep));
    ASSERT_EQ(lines.size(), 23u);
    format::FormatState st;  // default settings: "/" and day-month-year
    st.today = platform::CivilDate{2026, 12, 8};
    const reg::RunParameters p = reg::ParseRunParameters(st, lines);
    EXPECT_EQ(p.date_from, format::PackDigits("20261001"));
    EXPECT_EQ(p.date_to, format::PackDigits("20261231"));
    EXPECT_EQ(p.receipt_key, 1);
    EXPECT_EQ(p.property_from, format::PackDigits("000100010001"));
    EXPECT_EQ(p.property_to, format::PackDigits("999999999999"));
    EXPECT_TRUE(p.include_flag_s);
    EXPECT_TRUE(p.include_flag_n);
    EXPECT_EQ(p.open_csv, keep);
    // The class bounds let every 4-digit class code through.
    for (const char* cls : {"0000", "0001", "0003", "9900", "9999"}) {
      const std::string code = format::PackDigits(cls);
      EXPECT_LE(p.class_from, code) << cls;
      EXPECT_LE(code, p.class_to) << cls;
    }
  }
}

TEST(DemoFilesTest, SettingsFilesHoldTheValuesTheProgramReads) {
  struct Case {
    std::string contents;
    std::string section, key, value;
  };
  const std::string user = UserSettingsText();
  const std::string session_ini = SessionSettingsText("/tmp/demo/tmp/");
  const std::string terminal = TerminalSettingsText();
  const Case cases[] = {
      {user, "Usuari", "DecCaracter", ","},
      {user, "Usuari", "MilCaracter", "."},
      {user, "Usuari", "DatCaracter", "/"},
      {user, "Usuari", "DatOrdre", "DMA"},
      {user, "Usuari", "Idioma", "CAT"},
      {session_ini, "Terminal", "Dir", "/tmp/demo/tmp/"},
      {terminal, "Sistema", "Sortida", "PDF"},
      {terminal, "Sistema", "Idioma", "CAT"},
      {terminal, "Pantalla", "Seleccio", "0"},
      {terminal, "Pantalla", "Col0", "15000700000700070007"},
  };
  for (const Case& c : cases) {
    CrLfLines(c.contents);
    EXPECT_EQ(session::FindIniValue(c.contents, c.section, c.key), c.value) << c.section << "/" << c.key;
  }
}

}  // namespace
}  // namespace zov::tools::demo
