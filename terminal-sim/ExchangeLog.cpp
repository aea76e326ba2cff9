#include "ExchangeLog.h"

#include "FieldText.h"

namespace sim {

namespace {

// A value of the log line: blanks would split it, so they become '_'.
std::string shown(const std::string& value) {
    if (value.empty())
        return "-";
    std::string text = printable(value);
    for (char& c : text)
        if (c == ' ')
            c = '_';
    return text;
}

} // namespace

std::string formatExchange(const ExchangeRecord& record, const LocalTime& time) {
    return logTimestamp(time) + " " + shown(record.operation) +
           " seq=" + (record.seq < 0 ? std::string("-") : std::to_string(record.seq)) +
           " id=" + shown(record.id) + " amount=" + shown(record.amount) +
           " stan=" + shown(record.stan) + " result=" + shown(record.result) +
           " fault=" + shown(record.fault) + " end=" + shown(record.end);
}

} // namespace sim
