// A report file of the run (manifest.csv, validation.csv): code page 850,
// fields separated by ";" (a field holding one is quoted), lines ended by
// CR LF, as the suite's other CSV files. It is written under a temporary
// name beside its final one, in blocks, and only Commit puts it in place:
// a run that stops early leaves no half report under the final name.
//
//   ReportFile manifest(fs, out_dir + "manifest.csv");
//   Status s = manifest.Open(heading);   // a span of the heading's fields
//   manifest.Add({"0001", "PUIG, JOAN"});
//   s = manifest.Commit();
#ifndef ZOV_BOOKS_REPORT_FILE_H_
#define ZOV_BOOKS_REPORT_FILE_H_

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace zov::books {

class ReportFile {
 public:
  ReportFile(platform::FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  // Drops the temporary file when Commit did not run.
  ~ReportFile();

  // Creates the temporary file with the heading line.
  [[nodiscard]] platform::Status Open(std::span<const std::string_view> heading);
  // Adds a line; a write failure is kept and answered by Commit.
  void Add(std::initializer_list<std::string_view> fields) { Add(std::span(fields.begin(), fields.size())); }
  void Add(std::span<const std::string_view> fields);
  // Writes what is buffered, makes it durable and renames the file into place.
  [[nodiscard]] platform::Status Commit();
  // Removes the temporary file.
  void Abandon();

  const std::string& path() const { return path_; }
  std::string temp_path() const { return path_ + ".part"; }

 private:
  void Flush();

  platform::FileSystem& fs_;
  std::string path_;
  std::unique_ptr<platform::ByteFile> file_;
  std::string buffer_;
  uint64_t written_ = 0;
  platform::Status error_;
};

}  // namespace zov::books

#endif  // ZOV_BOOKS_REPORT_FILE_H_
