// Language files (LOCALE\<program>.LNG): every item of any contents, and the
// look-up of a text in each language.
//
// Input: NUL-separated pieces: the text to translate, then the file's
// contents (NULs included).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "session/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov;
  fuzz::FuzzInput in(data, size);
  std::string_view text = in.Piece();
  std::string_view contents = in.Rest();

  session::LanguageItemReader reader(contents);
  std::size_t items = 0;
  while (!reader.AtEnd()) {
    (void)reader.ReadItem();
    fuzz::Check(++items <= contents.size());  // every item consumes a byte
  }
  for (std::string_view language : {"CAT", "SPA", "GLG", "OCI"}) {
    (void)session::LookUpTranslation(contents, language, text);
  }
  return 0;
}
