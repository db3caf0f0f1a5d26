// The return's import file: its bytes in the design (one line of
// ISO-8859-1 characters without any line end, the pieces in the design's
// order, the annual page only where asked), its name, and its writing.
//
//   std::string bytes;
//   Status s = ReturnBytes(*design, values, /*annual=*/true, &bytes);
//   std::string name = ReturnFileName("B08222341", 2026, "4T");   // "B08222341_303_2026_4T.txt"
//   s = WriteReturnFile(fs, folder->NewFile(name), bytes);
#ifndef ZOV_BOOKS_VAT_RETURN_RETURN_FILE_H_
#define ZOV_BOOKS_VAT_RETURN_RETURN_FILE_H_

#include <string>
#include <string_view>

#include "books/vat_return/design.h"
#include "books/vat_return/return_values.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace zov::books::vat {

// Replaces *out with the file. InvalidArgument naming the piece and the
// field when a value cannot be written as the design says (a number too
// long or negative in an unsigned field, a text longer than its field, a
// value of the wrong kind for its field): nothing is ever cut to fit.
[[nodiscard]] platform::Status ReturnBytes(const Design& design, const ReturnValues& values, bool annual,
                                           std::string* out);

// NIF, model, year and period: "<NIF>_303_<year>_<period>.txt".
std::string ReturnFileName(std::string_view nif, int year, std::string_view period);

// Writes `bytes` as the new file `path` (an output folder's NewFile):
// created new, owner-only, never through a link. On failure nothing is left
// of it. Making it durable and putting it in place are the output folder's
// (books/output_folder.h), with the run's other files.
[[nodiscard]] platform::Status WriteReturnFile(platform::FileSystem& fs, const std::string& path,
                                               std::string_view bytes);

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_RETURN_FILE_H_
