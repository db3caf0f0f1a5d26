// The writer of the print file for the spooler (format: print_file_format.h).
// One PrintFile per run, owned by the run:
//
//   output::PrintFile pf;
//   output::OpenPrintFile(*env.fs, session, pf, session.output_device);
//   output::StartPage(pf, 66);
//   output::PrintAt(pf, 45, "00001234", 0);   // " 45 ,00001234, 0 "
//   output::ClosePrintFile(pf);
//   if (pf.failed) report(pf.error);          // some output was lost
//
// Lines are gathered in memory and written in large chunks; ClosePrintFile
// writes the rest. No operation reports a failure by itself: the first
// failure (open, write, close, or writing while no file is open) sets
// `failed` and `error`, later output is dropped, and the run is expected to
// look at `failed` after ClosePrintFile and end with a failure.
#ifndef ZOV_OUTPUT_PRINT_FILE_H_
#define ZOV_OUTPUT_PRINT_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "session/session.h"

namespace zov::output {

struct PrintFile {
  std::unique_ptr<platform::ByteFile> file;  // null while closed
  platform::FileSystem* fs = nullptr;        // of the open (or last) print file; not owned
  std::string path;                          // of the open (or last) print file
  // Where the file is written until it is closed complete and renamed to
  // `path`; empty while no file is open.
  std::string temp_path;
  std::string pending;                       // lines not yet written
  uint64_t written = 0;                      // bytes already in the file
  // Lines advanced on the current page; 0 after StartPage.
  int16_t line_counter = 0;
  // Lines per page of the last StartPage; 0 until the first one.
  int16_t page_length = 0;
  // The first failure of the run and its message; once set, stays set.
  bool failed = false;
  std::string error;
};

// Starts the print file session.temp_dir + "dozudizi.tmp" and writes the
// device line. It is written under a temporary name (CreatePrintFileTemporary)
// and takes its name only when closed complete, so that the name never holds
// a file cut short by a killed run. A print file still open is closed first.
// The temporary name is fixed: the caller must hold the session's run lock
// (app/run.h), so that the temporary file removed as a killed run's is never
// one another run is writing.
void OpenPrintFile(platform::FileSystem& fs, const session::Session& session, PrintFile& pf,
                   std::string_view device);

// Writes a page line for `lines`; page_length = lines, line_counter = 0.
void StartPage(PrintFile& pf, int16_t lines);

// Writes a column item. Bytes 0-31, 127 and 255 of `text` are written as
// blanks (the caller's text is not changed). When line_counter has reached
// page_length, a page line of the same length comes first (StartPage).
// A non-zero advance is added to line_counter.
void PrintAt(PrintFile& pf, int16_t column, std::string_view text, int16_t advance);

// Normalises `spec`, stores the result back into it and writes "JUS" + it.
// First letter of the trimmed spec, either case: "C" -> "C"; "D" or "R" ->
// "D"; "A" or "B" -> "A"; "N" -> "N", " " + the absolute whole number after
// the letter, " ", and spec's text from its first "\" through the next "\";
// anything else (also empty) -> "E".
void SetJustification(PrintFile& pf, std::string& spec);

// Writes "*" + code.
void PrintControl(PrintFile& pf, std::string_view code);

// Writes "SEND" + text.
void PrintSendTo(PrintFile& pf, std::string_view text);

// Writes what is pending, closes the file and, when nothing failed, renames
// it to its name (replacing the previous run's), where it stays for the
// spooler. A failed print file is deleted and the name left as it was.
// Closing a closed print file does nothing.
void ClosePrintFile(PrintFile& pf);

// Closes and deletes an open print file without giving it its name: for a
// run that stopped before its end. Nothing else changes.
void AbandonPrintFile(PrintFile& pf);

// The two steps that keep the name whole: the temporary file is created new
// beside `path` (its name in *temp_path), and renamed to `path` once complete.
[[nodiscard]] platform::Status CreatePrintFileTemporary(platform::FileSystem& fs, const std::string& path,
                                                        std::string* temp_path,
                                                        std::unique_ptr<platform::ByteFile>* file);
[[nodiscard]] platform::Status PublishPrintFile(platform::FileSystem& fs, const std::string& temp_path,
                                                const std::string& path);

// The number text form: " " for 0 or more, "-" for less, the digits, " ".
std::string NumberText(int32_t n);

}  // namespace zov::output

#endif  // ZOV_OUTPUT_PRINT_FILE_H_
