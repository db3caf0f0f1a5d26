// A report file of the run (manifest.csv, validation.csv): code page 850,
// one line of fields per record in the reports' rule (output/report_fields.h:
// ";" between fields, quoted where needed, no formula, no control byte, no
// endless value), lines ended by CR LF as the suite's other CSV files. It
// is written at a new file's place (an output folder's NewFile), created
// new and owner-only, in blocks; Finish completes it. Making it durable and
// putting it in place are the output folder's.
//
//   ReportFile manifest(fs, folder.NewFile("manifest.csv"));
//   Status s = manifest.Open(heading);   // a span of the heading's fields
//   manifest.Add({"0001", "PUIG, JOAN", output::ReportField::Number("12,50")});
//   s = manifest.Finish();
#ifndef ZOV_BOOKS_REPORT_FILE_H_
#define ZOV_BOOKS_REPORT_FILE_H_

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "output/report_fields.h"
#include "platform/file_system.h"

namespace zov::books {

class ReportFile {
 public:
  ReportFile(platform::FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  // Removes the file unless Finish completed it.
  ~ReportFile();

  // Creates the file with the heading line.
  [[nodiscard]] platform::Status Open(std::span<const std::string_view> heading);
  // Adds a line; a write failure is kept and answered by Finish.
  void Add(std::initializer_list<output::ReportField> fields) { Add(std::span(fields.begin(), fields.size())); }
  void Add(std::span<const output::ReportField> fields);
  // Writes what is buffered and closes the file: complete, not yet synced.
  // On failure the file is removed.
  [[nodiscard]] platform::Status Finish();
  // Removes the file.
  void Abandon();

  const std::string& path() const { return path_; }

 private:
  void Flush();

  platform::FileSystem& fs_;
  std::string path_;
  std::unique_ptr<platform::ByteFile> file_;
  std::string buffer_;
  uint64_t written_ = 0;
  platform::Status error_;
};

// How a report's first line begins when its heading starts with the first
// `fields` of `heading`, ";" after each: what identifies a program's
// manifest whatever columns its later versions add.
std::string ManifestHeadingStart(std::span<const std::string_view> heading, std::size_t fields);

}  // namespace zov::books

#endif  // ZOV_BOOKS_REPORT_FILE_H_
