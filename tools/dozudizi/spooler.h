// One run of the spooler: reads the print file, lays it out, writes it to
// its device and, when mail is asked for, fills the outbox.
//
//   SpoolOutcome out = Spool(fs, cp, SpoolRequest{session.temp_dir, correu});
//   fwrite(out.screen...); for (auto& m : out.messages) report(m);
//   return out.exit_code;
//
// Devices (the DEVICE line, blanks trimmed, letter case ignored):
//   "" or "PDF"          register.pdf in TempDir
//   a name ending .pdf   that PDF file   } a relative name is taken
//   a name ending .txt   that text file  } relative to TempDir
//   "SCREEN"             the text pages in `screen`, for standard output
//   anything else        register.pdf in TempDir, with a message
// Every file is written to a temporary name and renamed into place, so it is
// either complete or untouched.
#ifndef ZOV_TOOLS_DOZUDIZI_SPOOLER_H_
#define ZOV_TOOLS_DOZUDIZI_SPOOLER_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/file_system.h"
#include "tools/dozudizi/cp850.h"

namespace zov::tools {

inline constexpr std::string_view kPrintFileName = "dozudizi.tmp";
inline constexpr std::string_view kSettingsFileName = "DOZUDIZI.INI";
inline constexpr std::string_view kDefaultPdfName = "register.pdf";

// Exit codes of the spooler.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;        // nothing printed, or an output not written
inline constexpr int kExitLinesSkipped = 2;  // printed, but print-file lines were skipped or changed

// At most this many print-file problems are listed one by one.
inline constexpr int kMaxListedProblems = 100;

enum class DeviceKind { kPdf, kText, kScreen };

struct Destination {
  DeviceKind kind = DeviceKind::kPdf;
  std::string path;      // the file to write; empty for the screen
  bool unknown = false;  // the device name meant nothing; the default is used
};

Destination ResolveDevice(std::string_view device, std::string_view temp_dir);

struct SpoolRequest {
  std::string temp_dir;      // the session's TempDir: names are appended directly
  std::string mail_setting;  // Correu of section Opcions in DOZUDIZI.INI
};

// The request of a run started by the suite: TempDir as the session set-up
// finds it (ZOVTMP, else the terminal directory) and Correu of section
// Opcions of TempDir + "DOZUDIZI.INI". Uses env.environment and env.fs.
SpoolRequest ReadSpoolRequest(platform::Env& env);

struct SpoolOutcome {
  int exit_code = kExitOk;
  std::string screen;                 // UTF-8 pages for standard output
  std::vector<std::string> messages;  // lines for standard error
  std::vector<std::string> written;   // the files written, as named to the file system
};

SpoolOutcome Spool(platform::FileSystem& fs, const Cp850Text& cp, const SpoolRequest& request);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_SPOOLER_H_
