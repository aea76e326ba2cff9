#pragma once

#include <string>
#include <vector>

namespace sim {

// The receipt text the terminal returns: one line after another, each ended
// with CR LF.
class Receipt {
public:
    void line(std::string text) { lines_.push_back(std::move(text)); }
    std::string text() const;

private:
    std::vector<std::string> lines_;
};

} // namespace sim
