#include "session/session_setup.h"

#include <limits>

#include "format/chars.h"
#include "format/mask.h"
#include "session/ini_file.h"
#include "session/leading_number.h"

namespace zov::session {
namespace {

constexpr std::string_view kDefaultColours = "15000700000700070007";

// Directory values are prefixes: a non-empty one gets a "\" unless it ends
// in a drive colon, a "\" or (on this system) a "/" already.
void EndWithSeparator(std::string& directory) {
  if (!directory.empty() && !platform::EndsInSeparator(directory)) directory += '\\';
}

// A fixed field of exactly 3 characters: cut, or padded with blanks.
std::string LanguageField(std::string_view value) {
  std::string field(value.substr(0, 3));
  field.resize(3, ' ');
  return field;
}

// TERM names the terminal type on this system (for example
// "xterm-256color"); it is taken as the terminal directory only when a
// directory of that name exists.
std::string TerminalDirectoryFromTerm(platform::Env& env) {
  std::string term = env.environment->GetOrEmpty("TERM");
  if (term.empty() || term.find_first_of("*?") != std::string::npos) return std::string();
  platform::DirEntry entry;
  if (!env.fs->FindFirst(term, &entry).ok() || (entry.attributes & platform::kAttrDirectory) == 0) {
    return std::string();
  }
  return term;
}

int16_t SelectionNumber(std::string_view text) {
  int64_t n = LeadingWhole(text, Rounding::kNearest);
  if (n > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  if (n < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  return static_cast<int16_t>(n);
}

int16_t ColourNumber(std::string_view spec, std::size_t start) {
  if (start >= spec.size()) return 0;
  return static_cast<int16_t>(LeadingWhole(spec.substr(start, 2), Rounding::kTowardZero));
}

}  // namespace

ColourTable ParseColourSpec(std::string_view spec) {
  ColourTable table{};
  for (std::size_t r = 0; r < table.size(); ++r) {
    table[r].foreground = ColourNumber(spec, 4 * r);
    table[r].background = ColourNumber(spec, 4 * r + 2);
  }
  return table;
}

void SetUpSession(platform::Env& env, Session& session, format::FormatState& format_state) {
  platform::FileSystem& fs = *env.fs;
  session.data_root = env.environment->GetOrEmpty("ZOVROOT");
  session.exe_dir = env.environment->GetOrEmpty("ZOVEXE");
  session.temp_dir = env.environment->GetOrEmpty("ZOVTMP");
  EndWithSeparator(session.temp_dir);

  std::string terminal_dir = ReadIniValue(fs, session.temp_dir + "Sessio.ini", "Terminal", "Dir");
  if (terminal_dir.empty()) terminal_dir = TerminalDirectoryFromTerm(env);
  EndWithSeparator(terminal_dir);
  if (session.temp_dir.empty()) session.temp_dir = terminal_dir;

  format::SetCurrency(format_state, "a,E");

  const std::string terminal_file = session.temp_dir + "OrvaTerm.ini";
  const int16_t selection = SelectionNumber(ReadIniValue(fs, terminal_file, "Pantalla", "Seleccio"));
  std::string colours = ReadIniValue(fs, terminal_file, "Pantalla", "Col" + std::to_string(selection));
  if (colours.empty()) colours = kDefaultColours;
  session.colours = ParseColourSpec(colours);

  session.output_device = ReadIniValue(fs, terminal_file, "Sistema", "Sortida");

  session.language = LanguageField(ReadIniValue(fs, terminal_file, "Sistema", "Idioma"));
  if (format::TrimTrailingBlanks(session.language).empty()) {
    session.language = LanguageField(ReadIniValue(fs, session.data_root + "Orva.ini", "Usuari", "Idioma"));
  }
  format_state.language = session.language;
}

UserSettingsFile::UserSettingsFile(platform::FileSystem& fs, std::string_view data_root)
    : fs_(fs), path_(std::string(data_root) + "Orva.ini") {}

std::string UserSettingsFile::Read(std::string_view section, std::string_view key) {
  return ReadIniValue(fs_, path_, section, key);
}

}  // namespace zov::session
