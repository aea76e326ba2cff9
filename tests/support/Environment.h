#pragma once

#include <cstdlib>

namespace kvl::test {

// Removes a variable from the process's environment, on every system.
inline void unsetEnvironment(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    ::unsetenv(name);
#endif
}

} // namespace kvl::test
