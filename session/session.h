// The session values that the set-up establishes at the start of a run and
// every later layer reads: the directories, the output device, the session
// language and the colour table. Filled once by SetUpSession
// (session/session_setup.h); nothing changes them afterwards. What the
// language lookup fixes and keeps later in the run is its own state
// (LanguageState, session/language_file.h).
#ifndef ZOV_SESSION_SESSION_H_
#define ZOV_SESSION_SESSION_H_

#include <array>
#include <cstdint>
#include <string>

namespace zov::session {

struct ColourPair {
  int16_t foreground = 0;
  int16_t background = 0;
};

// Attribute index 0 normal, 1 "N", 2 "R", 3 "R"+"N", 4 "U".
using ColourTable = std::array<ColourPair, 5>;

struct Session {
  // Directory prefixes: file names are appended to them directly.
  std::string data_root;  // ZOVROOT as given (the suite ends it with "\")
  std::string exe_dir;    // ZOVEXE as given
  std::string temp_dir;   // ZOVTMP or the terminal directory, ending in a separator
  std::string output_device;  // Sortida of the terminal file
  std::string language = "CAT";  // always exactly 3 characters
  ColourTable colours{};
};

// Language codes with a meaning; every other value means Catalan.
inline bool IsSpanish(const Session& s) { return s.language == "SPA"; }
inline bool IsPortuguese(const Session& s) { return s.language == "GLG"; }
inline bool IsAranese(const Session& s) { return s.language == "OCI"; }

}  // namespace zov::session

#endif  // ZOV_SESSION_SESSION_H_
