#pragma once

#include "LocalTime.h"
#include "Operation.h"
#include "Record.h"
#include "Verdict.h"

#include <map>
#include <string>
#include <vector>

namespace sim {

struct TerminalSettings {
    std::string terminalId = "12345678";
    std::string acquirerId = "000000000001";
    // Payments and preauthorisations above this many cents are declined.
    long long limit = 500000;
    // When set, a request naming another terminal is declined.
    bool checkTerminalId = false;
};

// One approved transaction of the day that counts in the totals.
struct JournalEntry {
    long long stan = 0;
    Operation operation = Operation::Payment;
    long long amount = 0;
    long long effect = 0; // what it adds to the net total: refunds subtract
    bool voided = false;
};

struct Totals {
    long long count = 0;
    long long net = 0; // cents
};

// What the terminal answers to one request.
struct Answer {
    PosData data{' '}; // every field written, blank unless the terminal says more
    Verdict verdict = Verdict::Approved;
    std::string amount; // the request's amount as written, for the exchange log
    std::string stan;   // the STAN issued, empty when none
};

// The terminal's state and its answers to operations, without any I/O.
class Terminal {
public:
    explicit Terminal(TerminalSettings settings = {});

    Answer execute(Operation operation, const PosRequest& request, const PosData& given,
                   const LocalTime& now);

    const Totals& totals() const { return totals_; }
    const std::vector<JournalEntry>& journal() const { return journal_; }
    const TerminalSettings& settings() const { return settings_; }

private:
    struct Context;

    void payment(Context& context);
    void refund(Context& context);
    void voidTransaction(Context& context);
    void totals(Context& context, bool closing);
    void preauthorization(Context& context);
    void preauthorizationChange(Context& context);

    long long issueStan();
    Verdict amountVerdict(long long cents, bool withFunds) const;
    void approveCardTransaction(Context& context, long long amount, long long effect);

    TerminalSettings settings_;
    long long stan_ = 0;
    long long operationNumber_ = 0;
    Totals totals_;
    std::vector<JournalEntry> journal_;
    std::map<std::string, long long> holds_; // preauthorisation code -> amount held
};

} // namespace sim
