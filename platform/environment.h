// Environment variables. Read them once per run into the run's values;
// tests pass a map (testing/fake_environment.h) and never call setenv.
//
//   std::optional<std::string> root;
//   if (Status s = environment.Lookup("ZOVROOT", &root); !s.ok()) ...;  // names the variable
//   std::string term = environment.GetOrEmpty("TERM");
#ifndef ZOV_PLATFORM_ENVIRONMENT_H_
#define ZOV_PLATFORM_ENVIRONMENT_H_

#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace zov::platform {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value as code page 850 text (converted from the
  // system's own), or nullopt when it is not set. A value code page 850
  // cannot hold (a character it lacks, bytes that are not text) is
  // InvalidArgument naming the variable, *value nullopt: never a changed
  // value.
  [[nodiscard]] virtual Status Lookup(std::string_view name, std::optional<std::string>* value) = 0;

  // Lookup's value; a value code page 850 cannot hold reads as not set. For
  // variables a bad value of which may count as absent; the native Env
  // refuses to start when one of the suite's own holds such a value
  // (CheckSuiteVariables, env.h).
  std::optional<std::string> Get(std::string_view name) {
    std::optional<std::string> value;
    Lookup(name, &value).IgnoreError();
    return value;
  }
  // The value, or the empty text when it is not set.
  std::string GetOrEmpty(std::string_view name) { return Get(name).value_or(std::string()); }
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ENVIRONMENT_H_
