#include "protocol/Records.h"

namespace iae17::protocol {

namespace {

// Only append fields where a record grows: their order is the wire format.
constexpr std::array<FieldSpec, 15> PosRequestFields{{
    {"Amount", 9},
    {"CashRegisterId", 9},
    {"PaymentType", 2},
    {"TerminalId", 9},
    {"ContractText", 129},
    {"PreauthorizationCode", 10},
    {"Stan", 7},
    {"Extra1", 2},
    {"Extra2", 2},
    {"Extra3", 2},
    {"Extra4", 2},
    {"Extra5", 6},
    {"Extra6", 12},
    {"Extra7", 11},
    {"Extra8", 7},
}};

constexpr std::array<FieldSpec, 18> PosDataFields{{
    {"TerminalId", 9},
    {"AcquirerId", 12},
    {"TransactionType", 4},
    {"TransactionResult", 3},
    {"KODescription", 25},
    {"CardType", 2},
    {"STAN", 7},
    {"POSBalance", 17},
    {"BankBalance", 17},
    {"PAN", 20},
    {"AuthorizationCode", 7},
    {"OperationNumber", 7},
    {"AmountAuth", 9},
    {"PreauthorizationCode", 10},
    {"ActionCode", 4},
    {"DataTrs", 8},
    {"AmountEcho", 9},
    {"Ticket", 4097},
}};

} // namespace

std::size_t RecordLayout::offset(std::size_t index) const {
    std::size_t at = 0;
    for (std::size_t i = 0; i < index; ++i) {
        at += fields_[i].width;
    }
    return at;
}

const RecordLayout& posRequestLayout() {
    static const RecordLayout layout(PosRequestFields);
    return layout;
}

const RecordLayout& posDataLayout() {
    static const RecordLayout layout(PosDataFields);
    return layout;
}

} // namespace iae17::protocol
