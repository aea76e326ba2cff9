#pragma once

#include <string>

namespace sim {

// How the terminal decides an operation. Each verdict has its transaction
// result code, its action code and the refusal text the terminal reports.
enum class Verdict {
    Approved,
    InvalidAmount,
    InsufficientFunds,
    StanNotFound,
    AlreadyVoided,
    PreauthorizationNotFound,
    WrongTerminal,
};

struct VerdictCodes {
    const char* result;      // TransactionResult: "00" approved, otherwise declined
    const char* action;      // ActionCode
    const char* description; // KODescription, empty when approved
};

VerdictCodes verdictCodes(Verdict verdict);

} // namespace sim
