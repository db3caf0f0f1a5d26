// The text files of a demo installation besides the data files: the user
// settings (Orva.ini), the session and terminal settings of the temporary
// directory (Sessio.ini, OrvaTerm.ini), the register's language file and
// the run parameters (pent.tmp). All are code page 850 with CRLF line ends.
#ifndef ZOV_TOOLS_DEMO_DEMO_FILES_H_
#define ZOV_TOOLS_DEMO_DEMO_FILES_H_

#include <span>
#include <string>
#include <string_view>

namespace zov::tools::demo {

// One text the register prints and its translations.
struct Translation {
  std::string_view catalan;     // the key, exactly as the register passes it
  std::string_view portuguese;  // "GLG"
  std::string_view aranese;     // "OCI"
  std::string_view spanish;     // "SPA"
};

// Every fixed text of the printed register; the column headings keep the
// width of their Catalan key so the columns stay aligned.
std::span<const Translation> RegisterTranslations();

// DAZOROV1.LNG: one group of four quoted items per line.
std::string LanguageFileText();

// Orva.ini: section Usuari with the separators, date order and language.
std::string UserSettingsText();

// Sessio.ini: the session's user and terminal; `terminal_dir` is the
// temporary directory (with its trailing separator).
std::string SessionSettingsText(std::string_view terminal_dir);

// OrvaTerm.ini: output device "PDF", language CAT, default colours.
std::string TerminalSettingsText();

// pent.tmp: the 23 run parameters for the register of the last quarter of
// the data, all properties, every class, owners flagged S and N, and the
// CSV files kept when `keep_csv` is true.
std::string RunParametersText(bool keep_csv);

}  // namespace zov::tools::demo

#endif  // ZOV_TOOLS_DEMO_DEMO_FILES_H_
