#include "support/JournalWitness.h"

#include "app/JournalRecord.h"

namespace kvl::test {

std::vector<std::string> journalRecords(const std::string& bytes) {
    std::vector<std::string> records;
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const auto fields = decodeJournalRecord(bytes.substr(start, end - start));
        if (!fields || fields->size() < 2) {
            records.push_back("damaged");
            continue;
        }
        const auto& f = *fields;
        const bool third = (f[0] == "block" || f[0] == "done") && f.size() > 2;
        records.push_back(f[0] + " " + f[1] + (third ? " " + f[2] : ""));
    }
    return records;
}

} // namespace kvl::test
