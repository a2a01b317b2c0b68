#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

// Sets or unsets one environment variable while it lives, then puts back
// what was there. Tests use it to give the crypto provider a data folder of
// their own (XDG_DATA_HOME), so that its key container records never land in
// the user's home.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace testsupport
