#include "Scenario.h"

#include "Count.h"
#include "FieldText.h"

#include <cctype>

namespace sim {

namespace {

constexpr unsigned HighestOccurrence = 1000000000;

std::vector<std::string> wordsOf(std::string_view line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > at)
            words.emplace_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

bool sameIgnoringCase(const std::string& a, const char* b) {
    std::string lowered;
    for (const char c : a)
        lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered == b;
}

std::optional<std::string> readSelector(const std::string& word, ScenarioRule& rule) {
    const std::size_t hash = word.find('#');
    const std::string name = word.substr(0, hash);
    if (!sameIgnoringCase(name, "any")) {
        rule.operation = operationFromName(name);
        if (!rule.operation)
            return "unknown operation \"" + printable(name) + "\"";
    }
    if (hash == std::string::npos)
        return std::nullopt;
    const std::string count = word.substr(hash + 1);
    if (count == "*")
        return std::nullopt;
    rule.occurrence = readCount(count, HighestOccurrence);
    if (!rule.occurrence || *rule.occurrence == 0)
        return "\"" + printable(word) + "\": after '#' comes a call number from 1, or '*'";
    return std::nullopt;
}

std::optional<std::string> readRule(const std::vector<std::string>& words, ScenarioRule& rule) {
    if (const auto error = readSelector(words[0], rule))
        return error;
    std::size_t faults = 0;
    for (std::size_t i = 1; i < words.size() && words[i][0] != '#'; ++i, ++faults) {
        if (const auto error = readFaultWord(words[i], rule.change))
            return printable(*error);
    }
    if (faults == 0)
        return "\"" + printable(words[0]) + "\" names no fault (write \"ok\" for none)";
    if (rule.change.reset && faults > 1)
        return "\"ok\" stands alone on its line";
    return std::nullopt;
}

} // namespace

ScenarioReading readScenario(std::string_view text) {
    ScenarioReading reading;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        const std::vector<std::string> words = wordsOf(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        ScenarioRule rule;
        rule.line = number;
        if (const auto error = readRule(words, rule))
            reading.errors.push_back("line " + std::to_string(number) + ": " + *error);
        else
            reading.scenario.rules.push_back(rule);
    }
    return reading;
}

} // namespace sim
