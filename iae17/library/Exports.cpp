#include "Iae17.h"

#include "library/Exchange.h"
#include "library/Library.h"

#include <cstring>
#include <mutex>

using iae17::protocol::FrameType;

namespace {

std::mutex guard;

iae17::Library& library() {
    static iae17::Library instance;
    return instance;
}

// Nothing may escape through the C interface: any failure inside becomes a
// communication failure.
template <typename Call> short guarded(Call&& call) {
    try {
        const std::lock_guard<std::mutex> lock(guard);
        return call();
    } catch (...) {
        return iae17::Result::ComError;
    }
}

short runOperation(FrameType type, char* posRequest, char* posData) {
    return guarded([&] { return library().operation(type, posRequest, posData); });
}

} // namespace

extern "C" {

short IAE17_CALL IAE17AX_GetVersion(char* version10) {
    if (version10 == nullptr) {
        return iae17::Result::ComError;
    }
    std::memcpy(version10, iae17::Library::Version, sizeof iae17::Library::Version - 1);
    return iae17::Result::Ok;
}

short IAE17_CALL IAE17AX_Free(void) {
    return guarded([] {
        library().free();
        return iae17::Result::Ok;
    });
}

short IAE17_CALL IAE17AX_InitEth(char* ethInit22) {
    return guarded([&] { return library().initEth(ethInit22); });
}

short IAE17_CALL IAE17AX_InitRS232(char* rs232Init14) {
    return guarded([&] { return library().initRs232(rs232Init14); });
}

short IAE17_CALL IAE17AX_Payment(char* r, char* d) {
    return runOperation(FrameType::Payment, r, d);
}
short IAE17_CALL IAE17AX_PaymentExt(char* r, char* d) {
    return runOperation(FrameType::PaymentExt, r, d);
}
short IAE17_CALL IAE17AX_Refund(char* r, char* d) {
    return runOperation(FrameType::Refund, r, d);
}
short IAE17_CALL IAE17AX_Void(char* r, char* d) {
    return runOperation(FrameType::Void, r, d);
}
short IAE17_CALL IAE17AX_TerminalBalance(char* r, char* d) {
    return runOperation(FrameType::TerminalBalance, r, d);
}
short IAE17_CALL IAE17AX_Closure(char* r, char* d) {
    return runOperation(FrameType::Closure, r, d);
}
short IAE17_CALL IAE17AX_Status(char* r, char* d) {
    return runOperation(FrameType::Status, r, d);
}
short IAE17_CALL IAE17AX_Preauthorization(char* r, char* d) {
    return runOperation(FrameType::Preauthorization, r, d);
}
short IAE17_CALL IAE17AX_PreauthorizationInt(char* r, char* d) {
    return runOperation(FrameType::PreauthorizationInt, r, d);
}
short IAE17_CALL IAE17AX_PreauthorizationClose(char* r, char* d) {
    return runOperation(FrameType::PreauthorizationClose, r, d);
}
}
