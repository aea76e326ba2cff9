#include "commands/ParameterScan.h"

#include "commands/CommandHandlers.h"
#include "platform/Text.h"

#include <algorithm>
#include <limits>

namespace kvl {

namespace {

// Field counts can exceed what Massimo's 16-bit arguments hold; clamping keeps
// a count above the pattern's letters above them.
short clampedCount(std::size_t count) {
    const auto most = static_cast<std::size_t>(std::numeric_limits<short>::max());
    return static_cast<short>(std::min(count, most));
}

// The line's comma-separated fields one after the other, without splitting a
// line of any length into pieces all at once.
class FieldCursor {
public:
    explicit FieldCursor(std::string_view line) : rest_(line) { next(); }

    // Moves to the next field; false when there is none.
    bool next() {
        if (done_)
            return false;
        const std::size_t comma = rest_.find(',');
        current_ = rest_.substr(0, comma);
        if (comma == std::string_view::npos)
            done_ = true;
        else
            rest_.remove_prefix(comma + 1);
        return true;
    }
    std::string_view current() const { return current_; }

private:
    std::string_view rest_;
    std::string_view current_;
    bool done_ = false;
};

} // namespace

ParameterScan scanParameters(std::string_view line, std::string_view pattern, bool ecrIdRequired) {
    const std::vector<std::string> letters = text::split(pattern, ',');
    const std::size_t letterCount = letters.empty() ? 0 : letters.size() - 1;
    const std::size_t fieldCount =
        static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));

    ParameterScan scan;
    FieldCursor field(line); // field 0, the code
    bool fieldExists = !line.empty();
    const short last = Massimo(clampedCount(letterCount), clampedCount(fieldCount));
    for (std::size_t i = 1; i <= static_cast<std::size_t>(last); ++i) {
        fieldExists = fieldExists && field.next();
        if (i > letterCount) {
            scan.complete = false;
        } else {
            const std::string& letter = letters[i];
            if (letter == "E" && ecrIdRequired && line.find("," + letter) == std::string_view::npos)
                scan.complete = false;
        }
        // Once incomplete, nothing more is read.
        if (!scan.complete)
            break;
        if (fieldExists && !field.current().empty())
            scan.parameters.push_back(
                {field.current().front(), std::string(field.current().substr(1))});
    }
    return scan;
}

std::optional<std::string> fitToWidth(std::string_view value, std::size_t width) {
    while (value.size() > width && value.front() == '0')
        value.remove_prefix(1);
    if (value.size() > width)
        return std::nullopt;
    return std::string(value);
}

} // namespace kvl
