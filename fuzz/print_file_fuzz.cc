// The spooler's print file (dozudizi.tmp), as a killed run, a full disk or a
// hostile user leave it: parsed, laid out on pages and composed line by
// line, within the page grid's limits.
//
// Input: the print file's bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "tools/dozudizi/page_grid.h"
#include "tools/dozudizi/print_file_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace zov::tools;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ParsedPrintFile parsed = ParsePrintFile(bytes);
  Document doc = LayOut(parsed);
  for (const Page& page : doc.pages) {
    zov::fuzz::Check(page.length >= 1 && page.length <= kMaxPageLines);
    for (const Row& row : page.rows) {
      zov::fuzz::Check(row.index >= 0 && row.index < page.length);
      ComposedLine line = ComposeRow(row);
      zov::fuzz::Check(line.text.size() == line.bold.size());
    }
    zov::fuzz::Check(PageWidth(page) <= kMaxLineWidth);
  }
  for (const Part& part : doc.parts) {
    zov::fuzz::Check(part.first_page + part.page_count <= doc.pages.size());
  }
  return 0;
}
