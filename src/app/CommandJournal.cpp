#include "app/CommandJournal.h"

#include "app/JournalRecord.h"
#include "platform/MessageBoxes.h"
#include "platform/RunTimeError.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string_view>

namespace kvl {

namespace {

const std::string Started = "started";
const std::string Block = "block";
const std::string Answered = "answered";
const std::string Done = "done";

std::optional<std::uint64_t> unsignedValue(const std::string& text, int base = 10) {
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0 || value > (UINT64_MAX - static_cast<std::uint64_t>(digit)) / base)
            return std::nullopt;
        value = value * base + static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::string hex64(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

std::string stamp(Clock& clock) {
    const Clock::LocalTime now = clock.localTime();
    char text[96];
    std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return text;
}

// One good record of the file, as the parser found it.
struct ParsedRecord {
    std::string_view line; // with its line end
    std::uint64_t id;
};

// The journal's records in the order written, checked against each other:
// every record names the command started last, blocks come in order, and a
// command answered or done takes no more records.
class JournalParser {
public:
    explicit JournalParser(std::string_view bytes) {
        std::size_t position = 0;
        while (position < bytes.size()) {
            const std::size_t end = bytes.find('\n', position);
            if (end == std::string_view::npos) {
                torn = true; // no line end: the write was cut short
                break;
            }
            const std::string_view line = bytes.substr(position, end + 1 - position);
            position = end + 1;
            if (accept(line))
                continue;
            if (position >= bytes.size()) {
                torn = true; // a last record that does not check out was cut short
            } else {
                damaged = true;
                // What comes after a lost record of the same command cannot be
                // trusted to be whole: an answer without its block is none.
                lastTainted = true;
            }
        }
    }

    std::vector<ParsedRecord> good;
    bool torn = false;
    bool damaged = false;
    std::uint64_t lastId = 0;
    std::size_t commands = 0;
    std::vector<CommandFileVersion> versions;
    // The last command started, with the blocks it got.
    std::optional<JournalledCommand> last;
    bool lastDone = false;
    bool lastTainted = false;

private:
    bool accept(std::string_view line) {
        if (line.size() < 2 || line[line.size() - 2] != '\r')
            return false;
        const auto fields = decodeJournalRecord(line.substr(0, line.size() - 2));
        if (!fields || fields->size() < 2)
            return false;
        const std::string& kind = (*fields)[0];
        const auto id = unsignedValue((*fields)[1]);
        if (!id)
            return false;
        if (kind == Started ? !acceptStarted(*fields, *id) : !acceptStep(kind, *fields, *id))
            return false;
        good.push_back({line, *id});
        return true;
    }

    bool acceptStarted(const std::vector<std::string>& fields, std::uint64_t id) {
        if (fields.size() != 8 || id <= lastId)
            return false;
        const auto size = unsignedValue(fields[2]);
        const bool negative = !fields[3].empty() && fields[3][0] == '-';
        const auto modified = unsignedValue(negative ? fields[3].substr(1) : fields[3]);
        const auto hash = fields[4].size() == 16 ? unsignedValue(fields[4], 16) : std::nullopt;
        const auto from = unsignedValue(fields[5]);
        if (!size || !modified || !hash || !from || *from > *size || *modified > INT64_MAX)
            return false;
        JournalledCommand command;
        command.id = id;
        command.version.identity.size = *size;
        command.version.identity.modifiedNanoseconds =
            (negative ? -1 : 1) * static_cast<std::int64_t>(*modified);
        command.version.contentHash = *hash;
        command.from = *from;
        last = std::move(command);
        lastDone = false;
        lastTainted = false;
        lastId = id;
        ++commands;
        versions.push_back(last->version);
        return true;
    }

    bool acceptStep(const std::string& kind, const std::vector<std::string>& fields,
                    std::uint64_t id) {
        if (!last || last->id != id || lastDone || lastTainted)
            return false;
        if (kind == Block) {
            const auto index = fields.size() == 4 ? unsignedValue(fields[2]) : std::nullopt;
            if (!index || *index != last->blockCount || last->answered)
                return false;
            ++last->blockCount;
            last->undelivered.push_back(fields[3]);
            return true;
        }
        if (kind == Answered) {
            if (fields.size() != 2 || last->answered)
                return false;
            last->answered = true;
            return true;
        }
        if (kind == Done) {
            if (fields.size() != 3)
                return false;
            lastDone = true;
            last->undelivered.clear();
            return true;
        }
        return false;
    }
};

} // namespace

CommandJournal::CommandJournal(Platform& platform, std::string path)
    : platform_(platform), path_(std::move(path)) {}

void CommandJournal::load() {
    std::string bytes;
    try {
        if (!platform_.files.fileExists(path_))
            return;
        bytes = platform_.files.readAll(path_);
    } catch (const RunTimeError& error) {
        reportUnwritable(error);
        return;
    }

    JournalParser parsed(bytes);
    lastId_ = parsed.lastId;
    commandsInFile_ = parsed.commands;
    loaded_ = std::move(parsed.versions);
    if (parsed.last && !parsed.lastDone)
        pending_ = std::move(parsed.last);
    damaged_ = parsed.damaged;

    if (damaged_) {
        const std::string copy = path_ + "." + stamp(platform_.clock) + ".bad";
        try {
            platform_.files.writeWhole(copy, bytes);
        } catch (const RunTimeError& error) {
            reportUnwritable(error);
            return;
        }
        platform_.messages.show("Registro dei comandi danneggiato (" + path_ +
                                    "): copia conservata in " + copy +
                                    ". Si riparte con un registro nuovo.",
                                ProgramTitle, MessageButtons::Ok, MessageIcon::None);
    }
    // A torn record is dropped before anything is appended after it.
    if (damaged_ || parsed.torn)
        rewrite(bytes, keptCommands);
}

bool CommandJournal::holds(const CommandFileVersion& version) const {
    return std::find(loaded_.begin(), loaded_.end(), version) != loaded_.end();
}

JournalledCommand& CommandJournal::start(const CommandFileVersion& version, std::uint64_t from,
                                         const std::string& commandPath) {
    if (pending_)
        finish("replaced");
    compactIfLong();
    JournalledCommand command;
    command.id = ++lastId_;
    command.version = version;
    command.from = from;
    write(encodeJournalRecord(
        {Started, std::to_string(command.id), std::to_string(version.identity.size),
         std::to_string(version.identity.modifiedNanoseconds), hex64(version.contentHash),
         std::to_string(from), stamp(platform_.clock), commandPath}));
    ++commandsInFile_;
    pending_ = std::move(command);
    return *pending_;
}

void CommandJournal::addBlock(std::string&& block) {
    write(encodeJournalRecord(
        {Block, std::to_string(pending_->id), std::to_string(pending_->blockCount), block}));
    ++pending_->blockCount;
    pending_->undelivered.push_back(std::move(block));
}

void CommandJournal::answered() {
    write(encodeJournalRecord({Answered, std::to_string(pending_->id)}));
    pending_->answered = true;
}

void CommandJournal::finish(const std::string& how) {
    write(encodeJournalRecord({Done, std::to_string(pending_->id), how}));
    pending_.reset();
}

void CommandJournal::write(const std::string& record) {
    if (!writable_)
        return;
    try {
        platform_.files.append(path_, record);
    } catch (const RunTimeError& error) {
        reportUnwritable(error);
    }
}

void CommandJournal::reportUnwritable(const RunTimeError& error) {
    if (!writable_)
        return;
    writable_ = false;
    platform_.messages.show("Registro dei comandi non scrivibile (" + path_ + "): " +
                                reasonOf(error, path_) + ". Il programma continua senza registro.",
                            ProgramTitle, MessageButtons::Ok, MessageIcon::None);
}

void CommandJournal::rewrite(const std::string& bytes, std::size_t keep) {
    const JournalParser parsed(bytes);
    std::vector<std::uint64_t> ids;
    for (const ParsedRecord& record : parsed.good)
        if (ids.empty() || ids.back() != record.id)
            ids.push_back(record.id);
    const std::uint64_t firstKept = ids.size() > keep ? ids[ids.size() - keep] : 0;
    std::string kept;
    for (const ParsedRecord& record : parsed.good)
        if (record.id >= firstKept)
            kept += record.line;
    try {
        platform_.files.writeWhole(path_, kept);
        commandsInFile_ = std::min(ids.size(), keep);
    } catch (const RunTimeError& error) {
        reportUnwritable(error);
    }
}

void CommandJournal::compactIfLong() {
    if (!writable_ || commandsInFile_ < keptCommands + compactionSlack)
        return;
    try {
        rewrite(platform_.files.readAll(path_), keptCommands);
    } catch (const RunTimeError& error) {
        reportUnwritable(error);
    }
}

} // namespace kvl
