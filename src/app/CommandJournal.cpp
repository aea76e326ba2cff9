#include "app/CommandJournal.h"

#include "app/JournalRecord.h"
#include "platform/LineSplitter.h"
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

constexpr std::size_t ChunkSize = 64 * 1024;

// Where the file's last line end is, so that a record cut short after it is
// never read: the size when the file ends with one, 0 when it has none.
std::uint64_t completeLength(ByteReader& file, std::uint64_t size) {
    std::vector<char> chunk(ChunkSize);
    for (std::uint64_t end = size; end > 0;) {
        const std::uint64_t start = end > ChunkSize ? end - ChunkSize : 0;
        const auto length = static_cast<std::size_t>(end - start);
        file.seek(start);
        std::size_t got = 0;
        while (got < length) {
            const std::size_t count = file.read(chunk.data() + got, length - got);
            if (count == 0)
                throw RunTimeError(ErrorNumber::PathFileAccess, "Journal changed while read");
            got += count;
        }
        for (std::size_t i = length; i > 0; --i)
            if (chunk[i - 1] == '\n')
                return start + i;
        end = start;
    }
    return 0;
}

} // namespace

// The journal's records in the order written, checked against each other:
// every record names the command started last, blocks come in order, and a
// command answered or done takes no more records. Lines come one by one, so
// that memory holds one record at a time; given `kept`, every good line is
// collected there with its line end.
class JournalParser {
public:
    explicit JournalParser(std::string* kept = nullptr) : kept_(kept) {}

    // The next complete line, without its line end.
    void take(std::string line) {
        if (lastFailed_)
            markDamaged();
        lastFailed_ = !accept(line);
    }
    // A last line that did not check out was the write the program was doing
    // when it ended; so was anything after the last line end.
    void finish(bool tail) {
        torn = tail || lastFailed_;
        if (pending && !lastDone)
            for (std::string& block : escapedBlocks_)
                pending->undelivered.push_back(unescapeJournalField(block));
        escapedBlocks_.clear();
        if (lastDone)
            pending.reset();
    }

    bool torn = false;
    bool damaged = false;
    std::uint64_t lastId = 0;
    std::vector<CommandFileVersion> versions;
    // The last command started, then the one not yet done.
    std::optional<JournalledCommand> pending;
    // Where each command's lines begin in `kept`.
    std::vector<std::pair<std::uint64_t, std::size_t>> keptStarts;

private:
    void markDamaged() {
        damaged = true;
        // What comes after a lost record of the same command cannot be
        // trusted to be whole: an answer without its block is none.
        lastTainted_ = true;
    }

    bool accept(std::string& line) {
        const auto fields = checkJournalRecord(line);
        if (!fields || fields->size() < 2)
            return false;
        const std::string kind(fields->at(0));
        const auto id = unsignedValue(std::string(fields->at(1)));
        if (!id)
            return false;
        if (kept_) {
            if (kind == Started && acceptStarted(*fields, *id))
                keptStarts.emplace_back(*id, kept_->size());
            else if (kind == Started || !acceptStep(kind, *fields, *id, line))
                return false;
            *kept_ += line;
            *kept_ += "\r\n";
            return true;
        }
        return kind == Started ? acceptStarted(*fields, *id) : acceptStep(kind, *fields, *id, line);
    }

    bool acceptStarted(const std::vector<std::string_view>& fields, std::uint64_t id) {
        if (fields.size() != 8 || id <= lastId)
            return false;
        const std::string modifiedText(fields[3]);
        const bool negative = !modifiedText.empty() && modifiedText[0] == '-';
        const auto size = unsignedValue(std::string(fields[2]));
        const auto modified = unsignedValue(negative ? modifiedText.substr(1) : modifiedText);
        const auto hash =
            fields[4].size() == 16 ? unsignedValue(std::string(fields[4]), 16) : std::nullopt;
        const auto from = unsignedValue(std::string(fields[5]));
        if (!size || !modified || !hash || !from || *from > *size || *modified > INT64_MAX)
            return false;
        JournalledCommand command;
        command.id = id;
        command.version.identity.size = *size;
        command.version.identity.modifiedNanoseconds =
            (negative ? -1 : 1) * static_cast<std::int64_t>(*modified);
        command.version.contentHash = *hash;
        command.from = *from;
        pending = std::move(command);
        escapedBlocks_.clear();
        lastDone = false;
        lastTainted_ = false;
        lastId = id;
        versions.push_back(pending->version);
        return true;
    }

    // `line` may be taken apart: it is not needed after this.
    bool acceptStep(const std::string& kind, const std::vector<std::string_view>& fields,
                    std::uint64_t id, std::string& line) {
        if (!pending || pending->id != id || lastDone || lastTainted_)
            return false;
        if (kind == Block) {
            const auto index =
                fields.size() == 4 ? unsignedValue(std::string(fields[2])) : std::nullopt;
            if (!index || *index != pending->blockCount || pending->answered)
                return false;
            ++pending->blockCount;
            if (!kept_) {
                // The block is kept as written, in the line's own storage;
                // only the blocks of a command still open are decoded.
                const std::size_t start = static_cast<std::size_t>(fields[3].data() - line.data());
                line.resize(start + fields[3].size());
                line.erase(0, start);
                escapedBlocks_.push_back(std::move(line));
            }
            return true;
        }
        if (kind == Answered) {
            if (fields.size() != 2 || pending->answered)
                return false;
            pending->answered = true;
            return true;
        }
        if (kind == Done) {
            if (fields.size() != 3)
                return false;
            lastDone = true;
            escapedBlocks_.clear();
            return true;
        }
        return false;
    }

    std::string* kept_;
    bool lastFailed_ = false;
    bool lastDone = false;
    bool lastTainted_ = false;
    std::vector<std::string> escapedBlocks_;
};

CommandJournal::CommandJournal(Platform& platform, std::string path)
    : platform_(platform), path_(std::move(path)) {}

void CommandJournal::load() {
    JournalParser parsed;
    try {
        if (!platform_.files.fileExists(path_))
            return;
        parse(parsed);
    } catch (const RunTimeError& error) {
        reportUnwritable(error);
        return;
    }
    lastId_ = parsed.lastId;
    commandsInFile_ = parsed.versions.size();
    loaded_ = std::move(parsed.versions);
    pending_ = std::move(parsed.pending);
    damaged_ = parsed.damaged;

    if (damaged_) {
        const std::string copy = path_ + "." + stamp(platform_.clock) + ".bad";
        try {
            platform_.files.writeWhole(copy, platform_.files.readAll(path_));
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
        rewrite(keptCommands);
}

void CommandJournal::parse(JournalParser& parser) {
    const std::unique_ptr<ByteReader> file = platform_.files.openBytes(path_);
    const std::uint64_t size = file->identity().size;
    const std::uint64_t complete = completeLength(*file, size);
    file->seek(0);
    LineSplitter lines(*file, complete);
    while (auto line = lines.readLine())
        parser.take(std::move(*line));
    parser.finish(complete < size);
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

void CommandJournal::rewrite(std::size_t keep) {
    try {
        std::string kept;
        JournalParser parsed(&kept);
        parse(parsed);
        const auto& starts = parsed.keptStarts;
        if (starts.size() > keep)
            kept.erase(0, starts[starts.size() - keep].second);
        platform_.files.writeWhole(path_, kept);
        commandsInFile_ = std::min(starts.size(), keep);
    } catch (const RunTimeError& error) {
        reportUnwritable(error);
    }
}

void CommandJournal::compactIfLong() {
    if (writable_ && commandsInFile_ >= keptCommands + compactionSlack)
        rewrite(keptCommands);
}

} // namespace kvl
