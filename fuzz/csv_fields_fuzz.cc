// The CSV writer's fields: any values joined into one line under any format
// specification read back as the same values (line breaks as blanks: a line
// never breaks), and the register's own field
// forms (names, amounts) keep their widths.
//
// Input: 8 bytes of an amount in hundredths, then NUL-separated pieces: the
// format specification, then the values of one line.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "output/output_slots.h"
#include "register/csv_fields.h"

namespace {

// Splits a written line by the CSV rules the writer follows: a field that
// begins with a double quote runs to the lone closing quote, "" inside it
// standing for one quote.
std::vector<std::string> ReadFields(std::string_view line, char separator) {
  std::vector<std::string> fields(1);
  std::size_t i = 0;
  while (i < line.size()) {
    if (fields.back().empty() && line[i] == '"') {
      for (++i; i < line.size(); ++i) {
        if (line[i] != '"') {
          fields.back() += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          fields.back() += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    if (line[i] == separator) {
      fields.emplace_back();
    } else {
      fields.back() += line[i];
    }
    ++i;
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov;
  fuzz::FuzzInput in(data, size);
  unsigned char bytes[8];
  for (auto& b : bytes) b = in.Byte();
  int64_t amount = 0;
  std::memcpy(&amount, bytes, sizeof amount);
  std::string_view spec = in.Piece();

  output::OutputSlots slots;
  output::SetUpSlots(slots, 1);
  int16_t slot = output::OpenSlot(slots, "fuzz.csv", spec);  // no file is made
  fuzz::Check(slot == 1);
  std::vector<std::string_view> values;
  // A value beginning with a quote but not holding the separator is written
  // as it stands and cannot be told from a quoted one; an empty first value
  // is not followed by a separator. The register writes neither.
  bool readable = true;
  do {
    std::string_view value = in.Piece();
    values.push_back(value);
    output::AddField(slots, slot, value);
    if (value.find('"') != std::string_view::npos) readable = false;
  } while (!in.AtEnd());
  const std::string& line = slots.slots[0].line;
  if (readable && !values.front().empty() && slots.slots[0].separator.size() == 1) {
    std::vector<std::string> read = ReadFields(line, slots.slots[0].separator[0]);
    fuzz::Check(read.size() == values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      // A line break inside a value is written as a blank.
      std::string expected(values[i]);
      for (char& c : expected)
        if (c == '\r' || c == '\n') c = ' ';
      fuzz::Check(read[i] == expected);
    }
  }
  fuzz::Check(line.find_first_of("\r\n") == std::string::npos);
  output::FreeSlot(slots, slot);

  for (std::string_view v : values) {
    std::string name = reg::CsvName(v);
    fuzz::Check(name.size() == 40 && name.find_first_of(";\"") == std::string::npos);
  }
  fuzz::Check(reg::CsvAmount(amount).size() >= 15);
  fuzz::Check(reg::CsvRate(amount).size() >= 7);
  return 0;
}
