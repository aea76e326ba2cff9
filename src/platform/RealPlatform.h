#pragma once

#include "platform/Platform.h"

#include <memory>

namespace kvl {

// The operating system's services for the running program, one of each,
// living as long as the object. Made by makeRealPlatform, which each
// operating system's folder defines.
class RealPlatform {
public:
    virtual ~RealPlatform() = default;
    virtual Platform& platform() = 0;
};

// The services of the operating system the program was built for; message
// boxes and the tray are the headless ones.
std::unique_ptr<RealPlatform> makeRealPlatform(int argc, const char* const* argv);

} // namespace kvl
