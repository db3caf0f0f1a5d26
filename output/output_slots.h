// The writer of delimited text files: numbered slots, each remembering a
// file, a separator, a line end and the line being built. Each finished line
// is appended to the file at once with one write, so other programs may read
// the file between lines; the file stays open for appending from the slot's
// first line until FreeSlot (one open per file, not one per line). A slot
// may instead hold its finished lines and write them together (HoldLines),
// for a file that nobody reads before it is complete.
//
//   output::OutputSlots slots;
//   output::SetUpSlots(slots, 1);
//   int16_t n = output::OpenSlot(slots, csv_path, ";crlf");
//   output::AddField(slots, n, "Ejercicio");
//   output::WriteLine(env, slots, n);
//   output::FreeSlot(slots, n);
//   if (slots.lost_lines != 0) report(slots.first_error);
#ifndef ZOV_OUTPUT_OUTPUT_SLOTS_H_
#define ZOV_OUTPUT_OUTPUT_SLOTS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"

namespace zov::output {

struct OutputSlot {
  std::string file_name;  // empty: the slot is free
  std::string separator;  // "\t", ";" or ","
  std::string line_end;   // "\r", "\n" or "\r\n"
  std::string line;       // the fields of the line being built, joined
  // The file, open for appending since the slot's first line got through.
  std::shared_ptr<platform::AppendFile> file;
  // Set when a line of this slot was given up; later lines of the slot are
  // tried once, without waiting, until one gets through.
  bool unreachable = false;
  // HoldLines: finished lines wait in `held` (held_lines of them) until
  // FlushSlot or until they pass kHeldBytesLimit.
  bool hold = false;
  std::string held;
  int32_t held_lines = 0;
};

struct OutputSlots {
  std::vector<OutputSlot> slots;  // slot n is slots[n - 1]
  // Lines given up by WriteLine since the table was made, and the message of
  // the first failure. The run reports them and ends with a failure.
  int32_t lost_lines = 0;
  std::string first_error;
  // Set when a line was given up after the full wait: the place is not
  // coming back, so the lines of every slot are tried once from then on,
  // without waiting (a full disk must not cost every later file its wait).
  bool given_up = false;
};

// count >= 1: a new table of `count` free slots (the loss record is reset).
// count <= 0: releases the table.
void SetUpSlots(OutputSlots& slots, int16_t count);

// Takes the free slot with the lowest number for `file_name` (which is not
// created or emptied here) and returns its number; 0 when none is free.
// format_spec: "TAB" anywhere gives a tab separator, else ";" gives ";",
// else ","; "CR" without "LF" ends lines with CR, "LF" without "CR" with LF,
// otherwise with CR LF ("TAB", "CR", "LF" in either case).
int16_t OpenSlot(OutputSlots& slots, std::string_view file_name, std::string_view format_spec);
// The same on a file the caller has open already (when null, the slot opens
// file_name at its first write, as above).
int16_t OpenSlot(OutputSlots& slots, std::string_view file_name, std::string_view format_spec,
                 std::unique_ptr<platform::AppendFile> file);

// Appends a field to the slot's line: the separator first when the line is
// not empty, then the value as AppendFieldValue writes it. A slot number
// that is not a busy slot is ignored.
void AddField(OutputSlots& slots, int16_t slot, std::string_view value);

// Appends a field's value to a delimited line: CR and LF become blanks (a
// stored text must not break the row or forge another one); then a value
// holding the separator in double quotes with its own double quotes doubled,
// any other value unchanged.
void AppendFieldValue(std::string& line, std::string_view separator, std::string_view value);

// Appends the line and the line end to the slot's file (env.fs), or to the
// lines it holds (HoldLines), then empties the line. A failing append is
// retried, sleeping through env.clock, for at most kWriteLineRetryMillis (not
// at all once slots.given_up is set); then the line is given up and counted
// in lost_lines (first_error keeps the first message). A slot number that is
// not a busy slot counts as a lost line too.
void WriteLine(platform::Env& env, OutputSlots& slots, int16_t slot);

// From now on WriteLine keeps the slot's finished lines and appends them
// with one write when they pass kHeldBytesLimit or at FlushSlot, with the
// same retries; a write given up loses every line it held. The file's
// contents end up the same, in fewer writes; readers see the lines only
// once written.
void HoldLines(OutputSlots& slots, int16_t slot);

// Writes the lines the slot holds (none: nothing happens).
void FlushSlot(platform::Env& env, OutputSlots& slots, int16_t slot);

// Closes the slot's file and frees the slot (every field emptied); a close
// that fails counts as a lost line, and so does each line still held (call
// FlushSlot first). Out-of-range numbers are ignored.
void FreeSlot(OutputSlots& slots, int16_t slot);

inline constexpr int32_t kWriteLineRetryMillis = 5000;
inline constexpr int32_t kWriteLineRetryPauseMillis = 50;
inline constexpr std::size_t kHeldBytesLimit = 64 * 1024;

}  // namespace zov::output

#endif  // ZOV_OUTPUT_OUTPUT_SLOTS_H_
