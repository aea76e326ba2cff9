#pragma once

#include <string>
#include <vector>

namespace kvl::test {

// The command journal's records without their blocks: "started 1",
// "block 1 0", "answered 1", "done 1 deleted"; "damaged" for a line that
// does not check out.
std::vector<std::string> journalRecords(const std::string& bytes);

} // namespace kvl::test
