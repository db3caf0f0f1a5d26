#include "books/report_file.h"

#include "output/output_slots.h"

namespace zov::books {

namespace {
constexpr std::size_t kBlock = 64 * 1024;
}

ReportFile::~ReportFile() {
  if (file_) Abandon();
}

platform::Status ReportFile::Open(std::span<const std::string_view> heading) {
  platform::Status s = fs_.OpenByteFile(temp_path(), platform::OpenMode::kCreateTruncate, &file_);
  if (!s.ok()) {
    file_.reset();
    return s;
  }
  Add(heading);
  return platform::Status::Ok();
}

void ReportFile::Add(std::span<const std::string_view> fields) {
  bool first = true;
  for (std::string_view f : fields) {
    if (!first) buffer_ += ';';
    first = false;
    output::AppendFieldValue(buffer_, ";", f);
  }
  buffer_ += "\r\n";
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

platform::Status ReportFile::Commit() {
  if (!file_) return platform::Status::IoError(path_ + ": the report was not opened");
  Flush();
  platform::Status s = error_;
  if (s.ok()) s = file_->Sync();
  platform::Status closed = file_->Close();
  file_.reset();
  if (s.ok()) s = closed;
  if (s.ok()) s = fs_.RenameFile(temp_path(), path_);
  if (!s.ok()) {
    fs_.DeleteFile(temp_path()).IgnoreError();
    return s;
  }
  fs_.SyncDirectoryOf(path_).IgnoreError();
  return platform::Status::Ok();
}

void ReportFile::Abandon() {
  if (file_) {
    file_->Close().IgnoreError();
    file_.reset();
  }
  buffer_.clear();
  fs_.DeleteFile(temp_path()).IgnoreError();
}

}  // namespace zov::books
