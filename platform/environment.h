// Environment variables. Read them once per run into the run's values;
// tests pass a map (testing/fake_environment.h) and never call setenv.
#ifndef ZOV_PLATFORM_ENVIRONMENT_H_
#define ZOV_PLATFORM_ENVIRONMENT_H_

#include <optional>
#include <string>
#include <string_view>

namespace zov::platform {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value, or nullopt when it is not set.
  virtual std::optional<std::string> Get(std::string_view name) = 0;

  // The value, or the empty text when it is not set.
  std::string GetOrEmpty(std::string_view name) { return Get(name).value_or(std::string()); }
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ENVIRONMENT_H_
