// Result of a platform operation: ok, or a code and a message that names the
// call and the path. Callers branch on code(), never on the message text.
//
//   Status s = fs.DeleteFile(name);
//   if (!s.ok()) std::fprintf(stderr, "%s\n", s.message().c_str());
#ifndef ZOV_PLATFORM_STATUS_H_
#define ZOV_PLATFORM_STATUS_H_

#include <string>
#include <utility>

namespace zov::platform {

class [[nodiscard]] Status {
 public:
  enum class Code { kOk, kNotFound, kPermissionDenied, kAlreadyExists, kIoError, kInvalidArgument, kBusy };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(Code code, std::string message) { return Status(code, std::move(message)); }
  static Status NotFound(std::string m) { return Status(Code::kNotFound, std::move(m)); }
  static Status IoError(std::string m) { return Status(Code::kIoError, std::move(m)); }
  static Status InvalidArgument(std::string m) { return Status(Code::kInvalidArgument, std::move(m)); }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  const std::string& message() const { return message_; }
  // For the rare caller that deliberately ignores a failure.
  void IgnoreError() const {}

 private:
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}
  Code code_ = Code::kOk;
  std::string message_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_STATUS_H_
