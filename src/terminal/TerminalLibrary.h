#pragma once

#include "terminal/Records.h"

#include <array>

namespace kvl {

// The operation entry points of the terminal library, each taking the request
// and the answer record.
enum class Operation {
    Payment,
    PaymentExt,
    Refund,
    Void,
    TerminalBalance,
    Closure,
    Status,
    Preauthorization,
    PreauthorizationInt,
    PreauthorizationClose,
};

// The exported name of an operation's entry point, e.g. "IAE17AX_Payment".
const char* entryPointName(Operation operation);

// Result codes of the operation entry points.
namespace ResultCode {
constexpr short Ok = 0;
constexpr short ComError = 1;
constexpr short ProtocolError = 2;
constexpr short TimeoutError = 3;
constexpr short NotSupported = 4;
} // namespace ResultCode

using VersionBuffer = std::array<char, 10>;

// The terminal library's fourteen entry points as the program calls them. The
// records are the program's own copies: an implementation hands the library
// their images and copies the images back, whatever the result. A library or
// entry point that cannot be found raises RunTimeError 53 or 453.
class TerminalLibrary {
public:
    virtual ~TerminalLibrary() = default;

    virtual void IAE17AX_GetVersion(VersionBuffer& version) = 0;
    virtual void IAE17AX_Free() = 0;
    virtual short IAE17AX_InitEth(EthInitRecord& record) = 0;
    virtual short IAE17AX_InitRS232(Rs232InitRecord& record) = 0;
    virtual short call(Operation operation, PosRequest& request, POSDATA& answer) = 0;

    short IAE17AX_Payment(PosRequest& r, POSDATA& a) { return call(Operation::Payment, r, a); }
    short IAE17AX_PaymentExt(PosRequest& r, POSDATA& a) {
        return call(Operation::PaymentExt, r, a);
    }
    short IAE17AX_Refund(PosRequest& r, POSDATA& a) { return call(Operation::Refund, r, a); }
    short IAE17AX_Void(PosRequest& r, POSDATA& a) { return call(Operation::Void, r, a); }
    short IAE17AX_TerminalBalance(PosRequest& r, POSDATA& a) {
        return call(Operation::TerminalBalance, r, a);
    }
    short IAE17AX_Closure(PosRequest& r, POSDATA& a) { return call(Operation::Closure, r, a); }
    short IAE17AX_Status(PosRequest& r, POSDATA& a) { return call(Operation::Status, r, a); }
    short IAE17AX_Preauthorization(PosRequest& r, POSDATA& a) {
        return call(Operation::Preauthorization, r, a);
    }
    short IAE17AX_PreauthorizationInt(PosRequest& r, POSDATA& a) {
        return call(Operation::PreauthorizationInt, r, a);
    }
    short IAE17AX_PreauthorizationClose(PosRequest& r, POSDATA& a) {
        return call(Operation::PreauthorizationClose, r, a);
    }
};

} // namespace kvl
