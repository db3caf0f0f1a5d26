#include "books/report_file.h"

#include <vector>

namespace zov::books {

namespace {
constexpr std::size_t kBlock = 64 * 1024;
}

ReportFile::~ReportFile() {
  if (file_) Abandon();
}

platform::Status ReportFile::Open(std::span<const std::string_view> heading) {
  platform::Status s = fs_.OpenByteFile(path_, platform::OpenMode::kCreateNew, &file_);
  if (!s.ok()) {
    file_.reset();
    return s;
  }
  const std::vector<output::ReportField> fields(heading.begin(), heading.end());
  Add(fields);
  return platform::Status::Ok();
}

void ReportFile::Add(std::span<const output::ReportField> fields) {
  output::AppendReportLine(buffer_, fields);
  if (buffer_.size() >= kBlock) Flush();
}

void ReportFile::Flush() {
  if (!file_ || buffer_.empty()) return;
  if (error_.ok()) {
    error_ = file_->Write(written_, buffer_);
    written_ += buffer_.size();
  }
  buffer_.clear();
}

platform::Status ReportFile::Finish() {
  if (!file_) return platform::Status::IoError(path_ + ": the report was not opened");
  Flush();
  platform::Status s = error_;
  const platform::Status closed = file_->Close();
  file_.reset();
  if (s.ok()) s = closed;
  if (!s.ok()) fs_.DeleteFile(path_).IgnoreError();
  return s;
}

void ReportFile::Abandon() {
  if (file_) {
    file_->Close().IgnoreError();
    file_.reset();
  }
  buffer_.clear();
  fs_.DeleteFile(path_).IgnoreError();
}

std::string ManifestHeadingStart(std::span<const std::string_view> heading, std::size_t fields) {
  std::string start;
  for (std::size_t i = 0; i < fields && i < heading.size(); ++i) {
    output::AppendReportField(start, heading[i]);
    start += ';';
  }
  return start;
}

}  // namespace zov::books
