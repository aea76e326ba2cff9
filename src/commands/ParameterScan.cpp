#include "commands/ParameterScan.h"

#include "commands/CommandHandlers.h"
#include "platform/Text.h"

#include <limits>

namespace kvl {

namespace {

// Field counts can exceed what Massimo's 16-bit arguments hold; clamping keeps
// a count above the pattern's letters above them.
short clampedCount(std::size_t count) {
    const auto most = static_cast<std::size_t>(std::numeric_limits<short>::max());
    return static_cast<short>(count < most ? count : most);
}

} // namespace

ParameterScan scanParameters(std::string_view line, std::string_view pattern, bool ecrIdRequired) {
    const std::vector<std::string> letters = text::split(pattern, ',');
    const std::vector<std::string> fields = text::split(line, ',');
    const std::size_t letterCount = letters.empty() ? 0 : letters.size() - 1;
    const std::size_t fieldCount = fields.empty() ? 0 : fields.size() - 1;

    ParameterScan scan;
    const short last = Massimo(clampedCount(letterCount), clampedCount(fieldCount));
    for (std::size_t i = 1; i <= static_cast<std::size_t>(last); ++i) {
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
        if (i < fields.size() && !fields[i].empty())
            scan.parameters.push_back({fields[i][0], fields[i].substr(1)});
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
