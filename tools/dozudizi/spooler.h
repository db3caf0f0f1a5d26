// One run of the spooler: reads the print file, lays it out, writes it to
// its device and, when mail is asked for, fills the outbox. The print file is
// read in pieces and every page is written as soon as it is laid out, so
// memory stays flat whatever the file's length.
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
// Every file is created new under a temporary name (exclusive create, owner
// read and write only, so a link planted under any name is never written
// through) and renamed into place: it is either complete or untouched.
//
// The outbox (TempDir + "outbox"): with mail on, each run builds a new one
// under a temporary name and renames it into place, so the mail sender sees
// the previous run's outbox or this one's, never a mix; with mail off, no
// outbox remains. Whatever stood under the name (a link, in any letter case)
// is removed, never followed.
#ifndef ZOV_TOOLS_DOZUDIZI_SPOOLER_H_
#define ZOV_TOOLS_DOZUDIZI_SPOOLER_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/file_system.h"
#include "tools/dozudizi/cp850.h"
#include "tools/support/command_line.h"

namespace zov::tools {

inline constexpr std::string_view kPrintFileName = "dozudizi.tmp";
inline constexpr std::string_view kSettingsFileName = "DOZUDIZI.INI";
inline constexpr std::string_view kDefaultPdfName = "register.pdf";

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
  // Called now and then with the print-file bytes read so far and in all.
  std::function<void(uint64_t done, uint64_t total)> progress;
};

// The request of a run started by the suite: TempDir as the session set-up
// finds it (ZOVTMP, else the terminal directory) and Correu of section
// Opcions of TempDir + "DOZUDIZI.INI". Uses env.environment and env.fs.
SpoolRequest ReadSpoolRequest(platform::Env& env);

struct SpoolOutcome {
  // kExitDone: everything printed; kExitProblems: nothing printed, an output
  // not written, or print-file lines skipped or changed (each is a message).
  int exit_code = kExitDone;
  std::string screen;                 // UTF-8 pages for standard output
  std::vector<std::string> messages;  // code page 850 lines for standard error
  std::vector<std::string> written;   // the device's file, when written, as named to the file system
  uint64_t pages = 0;                 // pages laid out
  std::string outbox;                 // the outbox, when this run put it in place
  int mailed = 0;                     // owners' PDFs in that outbox
  std::size_t problems = 0;           // print-file lines skipped or changed
};

// The run in one line for the terminal: pages, where they went, the owners'
// PDFs in the outbox and the lines skipped. Names as `fs` resolves them.
std::string Summary(platform::FileSystem& fs, const SpoolOutcome& out);

SpoolOutcome Spool(platform::FileSystem& fs, const Cp850Text& cp, const SpoolRequest& request);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_SPOOLER_H_
