#include "output/output_slots.h"

#include "platform/ascii.h"

namespace zov::output {
namespace {

OutputSlot* BusySlot(OutputSlots& slots, int16_t slot) {
  if (slot < 1 || static_cast<std::size_t>(slot) > slots.slots.size()) return nullptr;
  OutputSlot& s = slots.slots[static_cast<std::size_t>(slot - 1)];
  return s.file_name.empty() ? nullptr : &s;
}

void RecordLostLines(OutputSlots& slots, int32_t lines, std::string message) {
  slots.lost_lines += lines;
  if (slots.first_error.empty()) slots.first_error = std::move(message);
}

void RecordLostLine(OutputSlots& slots, std::string message) { RecordLostLines(slots, 1, std::move(message)); }

// Appends `lines` finished lines to the slot's file, opening it on first
// use; retried as WriteLine says.
void Append(platform::Env& env, OutputSlots& slots, OutputSlot* s, std::string_view data, int32_t lines) {
  const int64_t start = env.clock->MonotonicMicros();
  for (;;) {
    platform::Status status;
    if (!s->file) {
      std::unique_ptr<platform::AppendFile> file;
      status = env.fs->OpenAppendFile(s->file_name, &file);
      if (status.ok()) s->file = std::move(file);
    }
    if (s->file) {
      status = s->file->Append(data);
      if (status.ok()) {
        s->unreachable = false;
        return;
      }
      // Open the file afresh on the next try.
      s->file->Close().IgnoreError();
      s->file.reset();
    }
    // Another program may hold the file for a moment; wait for it, but not
    // for ever, and not again for every line of a file already given up.
    const int64_t waited_millis = (env.clock->MonotonicMicros() - start) / 1000;
    if (s->unreachable || slots.given_up || waited_millis >= kWriteLineRetryMillis) {
      s->unreachable = true;
      slots.given_up = true;
      RecordLostLines(slots, lines, status.message());
      return;
    }
    env.clock->SleepMillis(kWriteLineRetryPauseMillis);
  }
}

void WriteHeld(platform::Env& env, OutputSlots& slots, OutputSlot* s) {
  if (s->held_lines == 0) return;
  Append(env, slots, s, s->held, s->held_lines);
  s->held.clear();
  s->held_lines = 0;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

void SetUpSlots(OutputSlots& slots, int16_t count) {
  slots.slots.clear();
  slots.lost_lines = 0;
  slots.first_error.clear();
  slots.given_up = false;
  if (count > 0) slots.slots.resize(static_cast<std::size_t>(count));
}

int16_t OpenSlot(OutputSlots& slots, std::string_view file_name, std::string_view format_spec) {
  return OpenSlot(slots, file_name, format_spec, nullptr);
}

int16_t OpenSlot(OutputSlots& slots, std::string_view file_name, std::string_view format_spec,
                 std::unique_ptr<platform::AppendFile> file) {
  for (std::size_t i = 0; i < slots.slots.size(); ++i) {
    OutputSlot& s = slots.slots[i];
    if (!s.file_name.empty()) continue;
    const std::string spec = platform::AsciiUpper(format_spec);
    s = OutputSlot{};
    s.file_name = std::string(file_name);
    s.separator = Contains(spec, "TAB") ? "\t" : Contains(spec, ";") ? ";" : ",";
    const bool cr = Contains(spec, "CR");
    const bool lf = Contains(spec, "LF");
    s.line_end = cr && !lf ? "\r" : lf && !cr ? "\n" : "\r\n";
    s.file = std::move(file);
    return static_cast<int16_t>(i + 1);
  }
  return 0;
}

void AddField(OutputSlots& slots, int16_t slot, std::string_view value) {
  OutputSlot* s = BusySlot(slots, slot);
  if (s == nullptr) return;
  if (!s->line.empty()) s->line += s->separator;
  AppendFieldValue(s->line, s->separator, value);
}

void AppendFieldValue(std::string& line, std::string_view separator, std::string_view value) {
  auto one_line = [](char c) { return c == '\r' || c == '\n' ? ' ' : c; };
  if (!Contains(value, separator)) {
    // Most values hold no line break: appended whole, in one pass.
    const std::size_t start = line.size();
    line.append(value);
    for (std::size_t i = start; i < line.size(); ++i) line[i] = one_line(line[i]);
    return;
  }
  line += '"';
  for (char c : value) {
    if (c == '"') line += '"';
    line += one_line(c);
  }
  line += '"';
}

void WriteLine(platform::Env& env, OutputSlots& slots, int16_t slot) {
  OutputSlot* s = BusySlot(slots, slot);
  if (s == nullptr) {
    RecordLostLine(slots, "line written to output slot " + std::to_string(slot) + ", which is not open");
    return;
  }
  if (s->hold) {
    s->held += s->line;
    s->held += s->line_end;
    s->line.clear();
    ++s->held_lines;
    if (s->held.size() >= kHeldBytesLimit) WriteHeld(env, slots, s);
    return;
  }
  std::string data = s->line + s->line_end;
  s->line.clear();
  Append(env, slots, s, data, 1);
}

void HoldLines(OutputSlots& slots, int16_t slot) {
  OutputSlot* s = BusySlot(slots, slot);
  if (s != nullptr) s->hold = true;
}

void FlushSlot(platform::Env& env, OutputSlots& slots, int16_t slot) {
  OutputSlot* s = BusySlot(slots, slot);
  if (s != nullptr) WriteHeld(env, slots, s);
}

void FreeSlot(OutputSlots& slots, int16_t slot) {
  if (slot < 1 || static_cast<std::size_t>(slot) > slots.slots.size()) return;
  OutputSlot& s = slots.slots[static_cast<std::size_t>(slot - 1)];
  if (s.held_lines != 0) {
    RecordLostLines(slots, s.held_lines, "lines of " + s.file_name + " freed before they were written");
  }
  if (s.file) {
    platform::Status status = s.file->Close();
    if (!status.ok()) RecordLostLine(slots, status.message());
  }
  s = OutputSlot{};
}

}  // namespace zov::output
