#include "terminal/TerminalLibrary.h"

namespace kvl {

const char* entryPointName(Operation operation) {
    switch (operation) {
    case Operation::Payment:
        return "IAE17AX_Payment";
    case Operation::PaymentExt:
        return "IAE17AX_PaymentExt";
    case Operation::Refund:
        return "IAE17AX_Refund";
    case Operation::Void:
        return "IAE17AX_Void";
    case Operation::TerminalBalance:
        return "IAE17AX_TerminalBalance";
    case Operation::Closure:
        return "IAE17AX_Closure";
    case Operation::Status:
        return "IAE17AX_Status";
    case Operation::Preauthorization:
        return "IAE17AX_Preauthorization";
    case Operation::PreauthorizationInt:
        return "IAE17AX_PreauthorizationInt";
    case Operation::PreauthorizationClose:
        return "IAE17AX_PreauthorizationClose";
    }
    return "";
}

} // namespace kvl
