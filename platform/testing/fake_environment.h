// Environment variables from a map.
#ifndef ZOV_PLATFORM_TESTING_FAKE_ENVIRONMENT_H_
#define ZOV_PLATFORM_TESTING_FAKE_ENVIRONMENT_H_

#include <map>
#include <string>

#include "platform/environment.h"

namespace zov::platform {

class FakeEnvironment : public Environment {
 public:
  FakeEnvironment() = default;
  explicit FakeEnvironment(std::map<std::string, std::string, std::less<>> vars) : vars_(std::move(vars)) {}

  std::optional<std::string> Get(std::string_view name) override {
    auto it = vars_.find(name);
    if (it == vars_.end()) return std::nullopt;
    return it->second;
  }
  void Set(const std::string& name, const std::string& value) { vars_[name] = value; }
  void Unset(const std::string& name) { vars_.erase(name); }

 private:
  std::map<std::string, std::string, std::less<>> vars_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAKE_ENVIRONMENT_H_
