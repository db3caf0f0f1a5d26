// Translation of the program's fixed Catalan texts through its language
// file, DataRoot + "LOCALE\" + program code + ".LNG": groups of four items
// (the Catalan text as key, then the "GLG", "OCI" and "SPA" texts).
//
//   session::LanguageState language;
//   language.program_code = "DAZOROV1";
//   std::string title = TranslateText(env, session, language, "TOTAL GENERAL");
#ifndef ZOV_SESSION_LANGUAGE_FILE_H_
#define ZOV_SESSION_LANGUAGE_FILE_H_

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/env.h"
#include "session/session.h"

namespace zov::session {

// What the lookup keeps during a run, beside the session values: owned by
// the run, changed by TranslateText.
struct LanguageState {
  // The program's name within the suite; names its language file. Set by
  // the run at start-up.
  std::string program_code;
  // The language file's name, fixed by the first lookup of the run.
  std::string language_file;
  // The answers so far, for the language and language file named by
  // translations_key (a change of either starts the table again). The
  // language file is read once per distinct text; edits to it during a run
  // are not seen.
  std::map<std::string, std::string, std::less<>> translations;
  std::string translations_key;
};

// Reads the items of a language file held in memory. Item rules:
//   - blanks before an item are skipped;
//   - a quoted item runs to the next double quote and keeps everything in
//     between (blanks, commas, line breaks); after the closing quote,
//     blanks, tabs and line feeds are skipped and then one comma or one CR
//     (with a following LF) is consumed;
//   - any other item runs to the next comma or CR, which is consumed (a CR
//     with a following LF); LFs and tabs inside it are dropped, blanks
//     before the comma or line end stay;
//   - a Ctrl-Z byte ends the file.
// Not owning: the text must outlive the reader.
class LanguageItemReader {
 public:
  explicit LanguageItemReader(std::string_view contents);
  bool AtEnd() const { return pos_ >= text_.size(); }
  // The next item; the empty text at the end of the file.
  std::string ReadItem();

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The translation of `text` for a contents of a language file and a
// language code: the item of the first group whose key equals `text` byte
// for byte ("SPA" the fourth, "GLG" the second, "OCI" the third); `text`
// itself when no group matches or the code is none of the three. A key that
// is the file's last item has no group; a group cut short by the end of the
// file has empty translations.
std::string LookUpTranslation(std::string_view contents, std::string_view language, std::string_view text);

// The text to print for the session language. For "CAT" the text comes back
// unchanged and no file is touched. Otherwise the first call of the run sets
// language.language_file to language.program_code; the file
// session.data_root + "LOCALE\" + language_file + ".LNG" is created empty
// when missing, and searched from the top. A file that cannot be created or
// read gives the text untranslated. The answer is kept in
// language.translations, so the file is read once per distinct text,
// language and file name of the run. Uses env.fs.
std::string TranslateText(platform::Env& env, const Session& session, LanguageState& language,
                          std::string_view text);

}  // namespace zov::session

#endif  // ZOV_SESSION_LANGUAGE_FILE_H_
