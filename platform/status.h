// Result of a platform operation: ok, or a code and a message that names the
// call and the path. Callers branch on the code (the predicates below), never
// on the message text.
//
//   Status s = fs.ReadFile(name, &contents);
//   if (s.IsNotFound()) contents.clear();
//   else if (!s.ok()) return s;
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
  static Status PermissionDenied(std::string m) { return Status(Code::kPermissionDenied, std::move(m)); }
  static Status AlreadyExists(std::string m) { return Status(Code::kAlreadyExists, std::move(m)); }
  static Status IoError(std::string m) { return Status(Code::kIoError, std::move(m)); }
  static Status InvalidArgument(std::string m) { return Status(Code::kInvalidArgument, std::move(m)); }
  static Status Busy(std::string m) { return Status(Code::kBusy, std::move(m)); }

  bool ok() const { return code_ == Code::kOk; }
  bool IsNotFound() const { return code_ == Code::kNotFound; }
  bool IsPermissionDenied() const { return code_ == Code::kPermissionDenied; }
  bool IsAlreadyExists() const { return code_ == Code::kAlreadyExists; }
  bool IsIoError() const { return code_ == Code::kIoError; }
  bool IsInvalidArgument() const { return code_ == Code::kInvalidArgument; }
  bool IsBusy() const { return code_ == Code::kBusy; }
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
