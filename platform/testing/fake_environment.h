// Environment variables from a map of code page 850 values.
#ifndef ZOV_PLATFORM_TESTING_FAKE_ENVIRONMENT_H_
#define ZOV_PLATFORM_TESTING_FAKE_ENVIRONMENT_H_

#include <map>
#include <set>
#include <string>

#include "platform/environment.h"

namespace zov::platform {

class FakeEnvironment : public Environment {
 public:
  FakeEnvironment() = default;
  explicit FakeEnvironment(std::map<std::string, std::string, std::less<>> vars) : vars_(std::move(vars)) {}

  Status Lookup(std::string_view name, std::optional<std::string>* value) override {
    value->reset();
    if (unholdable_.count(name) != 0) return Status::InvalidArgument(std::string(name) + " cannot be held");
    auto it = vars_.find(name);
    if (it != vars_.end()) *value = it->second;
    return Status::Ok();
  }
  void Set(const std::string& name, const std::string& value) {
    vars_[name] = value;
    unholdable_.erase(name);
  }
  void Unset(const std::string& name) {
    vars_.erase(name);
    unholdable_.erase(name);
  }
  // The variable is set to a value code page 850 cannot hold.
  void SetUnholdable(const std::string& name) {
    vars_.erase(name);
    unholdable_.insert(name);
  }

 private:
  std::map<std::string, std::string, std::less<>> vars_;
  std::set<std::string, std::less<>> unholdable_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAKE_ENVIRONMENT_H_
