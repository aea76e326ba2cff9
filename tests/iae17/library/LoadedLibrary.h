#pragma once

#include <string>

namespace iae17::test {

// libiae17.so as the bridge uses it: loaded with dlopen, every entry point
// looked up by name, records passed as their packed images.
struct LoadedLibrary {
    using Version = short (*)(char*);
    using Free = short (*)();
    using Init = short (*)(char*);
    using Operation = short (*)(char*, char*);

    static const LoadedLibrary& get();
    // An entry point by name; nullptr when the library does not export it.
    void* find(const char* name) const;

    Version getVersion = nullptr;
    Free free = nullptr;
    Init initEth = nullptr;
    Init initRs232 = nullptr;
    Operation payment = nullptr;
    Operation voidOperation = nullptr;
    Operation status = nullptr;
    Operation closure = nullptr;

private:
    void* handle_ = nullptr;
};

// The 22-byte Ethernet init image for 127.0.0.1 and a port.
std::string ethInitImage(int port);

} // namespace iae17::test
