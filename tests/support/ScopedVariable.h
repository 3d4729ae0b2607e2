#pragma once

#include <cstdlib>
#include <string>

namespace veradex::test {

// Sets an environment variable (or, given nullptr, removes it) for the life
// of the object; the old value, or its absence, comes back after.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    Set(name, value);
  }
  ~ScopedVariable() { Set(name_.c_str(), had_ ? old_.c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  static void Set(const char* name, const char* value) {
#ifdef _WIN32
    ::_putenv_s(name, value != nullptr ? value : "");  // empty removes it
#else
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
#endif
  }

  std::string name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace veradex::test
