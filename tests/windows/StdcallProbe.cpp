#include "StdcallProbe.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int ExchangeSize = 8;

short calls = 0;

} // namespace

short __stdcall Probe_Version(char* buffer) {
    std::memcpy(buffer, "PROBE 1.00", 10);
    return ++calls;
}

short __stdcall Probe_Exchange(const char* request, char* answer) {
    std::reverse_copy(request, request + ExchangeSize, answer);
    short sum = 0;
    for (int i = 0; i < ExchangeSize; ++i) {
        sum = static_cast<short>(sum + static_cast<unsigned char>(request[i]));
    }
    ++calls;
    return sum;
}

short __stdcall Probe_Free(void) {
    const short made = calls;
    calls = 0;
    return made;
}
