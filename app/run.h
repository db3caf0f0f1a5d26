// The program's flow from start to end: start-up (session, data files,
// parameter file), the run parameters, the register, and the hand-off to the
// spooler. One RunContext per run owns the state of every subsystem; main()
// only builds the platform services and returns Run's exit code.
//
//   std::unique_ptr<platform::NativeEnv> native;
//   if (platform::NativeEnv::Create(&native).ok()) return app::Run(native->env());
//
// One run per session's temporary directory at a time: a run holds the lock
// file TempDir + "dazorov1.lck" (platform FileSystem::TryLockFile) from its
// start to the spooler's end. A second run waits for it, saying once on
// standard error and on the screen's message line which run it waits for,
// at most ZOVWAIT seconds (default kDefaultRunWaitSeconds); then it stops
// with exit code 1 before it changes anything. The print file's temporary
// file that a killed run left is removed only under this lock.
//
// Exit codes: 0 when the register was produced; 1 when the run failed (the
// platform could not start: a record-manager library that cannot be loaded,
// a suite variable that code page 850 cannot hold; a
// data file that could be neither opened nor created, a missing pent.tmp or
// an unreadable date in it, a read of a data file that failed other than by
// "not found" or "end of file", a lost CSV line or print-file write, a
// spooler setting that could not be written, a complete CSV file that could
// not be given its name, another run that held the session's temporary
// directory past the wait), after a one-line reason on
// standard error. The spooler is started only for a complete print file and
// a written setting; how it ends is said but does not change the exit code.
#ifndef ZOV_APP_RUN_H_
#define ZOV_APP_RUN_H_

#include <memory>
#include <string>

#include "datafiles/data_file_table.h"
#include "format/format_state.h"
#include "output/output_slots.h"
#include "output/print_file.h"
#include "platform/env.h"
#include "register/records.h"
#include "register/register_state.h"
#include "screen/screen_state.h"
#include "session/language_file.h"
#include "session/session.h"
#include "session/session_setup.h"

namespace zov::app {

inline constexpr std::string_view kProgramCode = "DAZOROV1";
inline constexpr std::string_view kSpoolerProgram = "DOZUDIZI";
inline constexpr std::string_view kSpoolerSettingsFile = "DOZUDIZI.INI";

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;

inline constexpr std::string_view kRunLockFile = "dazorov1.lck";
inline constexpr std::string_view kRunWaitVariable = "ZOVWAIT";
inline constexpr int32_t kDefaultRunWaitSeconds = 300;

struct RunContext {
  explicit RunContext(platform::Env& e) : env(e) {}

  platform::Env& env;
  // Held from the start to the end of the run (released when the context goes).
  std::unique_ptr<platform::FileLock> run_lock;
  format::FormatState format;
  session::Session session;
  session::LanguageState language;
  std::unique_ptr<session::UserSettingsFile> user_settings;
  output::PrintFile print;
  output::OutputSlots slots;
  screen::ScreenState screen;
  datafiles::DataFileTable files;
  reg::RecordVariables records;
  reg::RegisterState state;

  reg::RegisterContext Register() { return {env, session, language, format, print, slots, files, records, state}; }
};

// Brings the parameter file's bytes into line with the record's defaults:
// a longer file is cut to 318 bytes, a shorter (or missing) one completed
// from the defaults. `param` must hold the defaults on entry and holds the
// record written on return.
void ConformParamRecord(std::string_view stored, reg::ParamRecord& param);

// Reads DataRoot + "DADES\VParam.tab", conforms it and writes the 318 bytes
// back through a temporary file and an atomic rename. A file that exists but
// cannot be read is left as it is, and the error returned; so is a failed
// write, which leaves the old file.
[[nodiscard]] platform::Status UpdateParamFile(RunContext& ctx);

// The whole run; returns the exit code.
int Run(platform::Env& env);

}  // namespace zov::app

#endif  // ZOV_APP_RUN_H_
