// The session set-up run once at the start of a program, before any file is
// opened: the directories from the environment, the session and terminal
// files, the colour table, the output device and the session language.
//
//   session::Session session;
//   format::FormatState format_state;
//   session::SetUpSession(env, session, format_state);
//   session::UserSettingsFile user_settings(*env.fs, session.data_root);
//   format_state.settings = &user_settings;
#ifndef ZOV_SESSION_SESSION_SETUP_H_
#define ZOV_SESSION_SESSION_SETUP_H_

#include <string>
#include <string_view>

#include "format/format_state.h"
#include "format/settings_source.h"
#include "platform/env.h"
#include "platform/file_system.h"
#include "session/session.h"

namespace zov::session {

// Fills session.data_root (ZOVROOT as given), exe_dir (ZOVEXE as given),
// temp_dir (ZOVTMP, else the terminal directory: Dir of section Terminal of
// temp_dir + "Sessio.ini", else TERM when TERM names an existing directory;
// a non-empty value always ends in ":", "\" or "/"), output_device (Sortida
// of section Sistema of temp_dir + "OrvaTerm.ini"), colours (from Seleccio
// and Col<n> of section Pantalla, default "15000700000700070007") and
// language (Idioma of section Sistema, else Idioma of section Usuari of
// data_root + "Orva.ini"; cut or blank-padded to exactly 3 characters).
// Calls format::SetCurrency(format_state, "a,E") and sets
// format_state.language to the session language. Uses env.environment and
// env.fs. Never fails: anything missing reads as empty and takes its
// default.
void SetUpSession(platform::Env& env, Session& session, format::FormatState& format_state);

// The colour table of a 20-digit colour specification: attribute r takes
// its foreground from characters 4r+1..4r+2 and its background from
// 4r+3..4r+4; a missing or non-numeric pair gives 0.
ColourTable ParseColourSpec(std::string_view spec);

// The display settings of the user settings file data_root + "Orva.ini",
// read with ReadIniValue on each call. Not owning: `fs` must outlive it.
class UserSettingsFile : public format::SettingsSource {
 public:
  UserSettingsFile(platform::FileSystem& fs, std::string_view data_root);
  std::string Read(std::string_view section, std::string_view key) override;

 private:
  platform::FileSystem& fs_;
  std::string path_;
};

}  // namespace zov::session

#endif  // ZOV_SESSION_SESSION_SETUP_H_
