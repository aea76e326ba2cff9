#pragma once

#include "LocalTime.h"

#include <string>

namespace sim {

// One line of the exchange log: a whole exchange, or a frame refused outside
// one. Empty texts are shown as "-".
struct ExchangeRecord {
    std::string operation; // "Payment", ...; empty for a frame that named none
    int seq = -1;          // -1: no frame to take it from
    std::string id;        // the request's identifier in hex
    std::string amount;
    std::string stan;
    std::string result; // transaction result, "unsupported", or the NAK sent
    std::string fault;
    std::string end; // how the exchange ended: "acked", "no-answer", ...
};

// "2024-05-01 12:00:00.123 Payment seq=3 id=0123456789ABCDEF amount=1000
// stan=0000001 result=00 fault=none end=acked"
std::string formatExchange(const ExchangeRecord& record, const LocalTime& time);

// Where the endpoint reports each exchange.
class ExchangeLog {
public:
    virtual ~ExchangeLog() = default;
    virtual void record(const ExchangeRecord& record) = 0;
};

} // namespace sim
