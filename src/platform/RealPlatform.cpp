#include "platform/RealPlatform.h"

#include <iostream>

namespace kvl {

RealPlatform::RealPlatform(int argc, const char* const* argv)
    : messages_(std::cerr), program_(argc, argv),
      instance_(program_.programFolder()), services_{files_,     messages_, events_, clock_,
                                                     program_,   instance_, system_, documents_,
                                                     libraries_, tray_} {}

} // namespace kvl
