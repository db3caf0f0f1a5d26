// The return's import file: its bytes in the design (one line of
// ISO-8859-1 characters without any line end, the pieces in the design's
// order, the annual page only where asked), its name, and how it is put in
// its folder.
//
//   std::string bytes;
//   Status s = ReturnBytes(*design, values, /*annual=*/true, &bytes);
//   std::string name = ReturnFileName("B08222341", 2026, "4T");   // "B08222341_303_2026_4T.txt"
//   ReturnFiles files(fs);
//   s = files.Write(out_dir + name, bytes);
//   s = files.Commit();
#ifndef ZOV_BOOKS_VAT_RETURN_RETURN_FILE_H_
#define ZOV_BOOKS_VAT_RETURN_RETURN_FILE_H_

#include <string>
#include <string_view>
#include <vector>

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

// The returns of a run as one set: each written under its name + ".part" as
// the owners come (created new, owner-only, never through a link), then made
// durable together (FileSystem::SyncFiles: the syncs of thousands of small
// files in one step) and renamed into place by Commit. A name never holds a
// return cut short; a run that stops before Commit leaves none of its
// returns.
//
//   ReturnFiles files(fs);
//   Status s = files.Write(out_dir + name, bytes);   // for each owner
//   s = files.Commit();
class ReturnFiles {
 public:
  explicit ReturnFiles(platform::FileSystem& fs) : fs_(fs) {}
  // Removes every ".part" file not committed.
  ~ReturnFiles();
  ReturnFiles(const ReturnFiles&) = delete;
  ReturnFiles& operator=(const ReturnFiles&) = delete;

  // Writes `path` + ".part" (one left by a killed run is replaced); on
  // failure nothing is left of it.
  [[nodiscard]] platform::Status Write(const std::string& path, std::string_view bytes);
  // Syncs every file written, renames each to its name (replacing a file of
  // that name) and syncs their folder. On failure the returns renamed before
  // it stay, complete and durable, and the ".part" files left are removed.
  [[nodiscard]] platform::Status Commit();

  // How many returns Commit put in place.
  std::size_t committed() const { return committed_; }

 private:
  void RemoveParts();

  platform::FileSystem& fs_;
  std::vector<std::string> parts_;  // the ".part" files written, in order
  std::size_t committed_ = 0;
};

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_RETURN_FILE_H_
