// INI files of the suite (Sessio.ini, OrvaTerm.ini, Orva.ini, DOZUDIZI.INI):
// look-ups in any contents, and setting a key: the new contents give back
// the value that was set.
//
// Input: NUL-separated pieces: section, key, value, then the file's
// contents (NULs included).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "session/ini_file.h"

namespace {

// A name the writer can store and the reader find again: not empty, no byte
// that ends or comments a line or a header, no blank at either end.
bool PlainName(std::string_view name) {
  if (name.empty() || name.front() == ' ' || name.back() == ' ') return false;
  return name.find_first_of(std::string_view("\0\r\n;=[]\t", 9)) == std::string_view::npos;
}

// A value read back unchanged: no line end or comment, not in quotes.
bool PlainValue(std::string_view value) {
  if (value.find_first_of(std::string_view("\0\r\n;", 4)) != std::string_view::npos) return false;
  return !(value.size() >= 2 && value.front() == '"' && value.back() == '"');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov;
  fuzz::FuzzInput in(data, size);
  std::string_view section = in.Piece();
  std::string_view key = in.Piece();
  std::string_view value = in.Piece();
  std::string_view contents = in.Rest();

  (void)session::FindIniValue(contents, section, key);
  std::string written = session::SetIniValue(contents, section, key, value);
  if (PlainName(section) && PlainName(key) && PlainValue(value)) {
    fuzz::Check(session::FindIniValue(written, section, key) == value);
  }
  return 0;
}
