#pragma once

#include "app/CommandFileVersion.h"
#include "platform/Platform.h"
#include "platform/RunTimeError.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kvl {

class JournalParser;

// The command the journal holds open: the one whose file was handed over
// last and is not yet known to be gone.
struct JournalledCommand {
    std::uint64_t id = 0;
    CommandFileVersion version;
    // The bytes at the start of the file that an earlier command already ran
    // (the ECR appended to its file): only the rest belongs to this command.
    std::uint64_t from = 0;
    // The blocks journalled so far, and those of them not yet in the result
    // file, oldest first.
    std::size_t blockCount = 0;
    std::deque<std::string> undelivered;
    // Every command line has its block. False after a restart until the
    // lines that lost their exchange have their "unknown outcome" block.
    bool complete = false;
    bool answered = false;
};

// The command journal JournalTlvPos.TXT: what the program did with each
// command file, written to the disk before the step it guards, so that a
// crash, a power cut or a restart never runs a command twice and never loses
// its answer. For each command, in order: "started" with the file's version
// before it is handed to the dispatcher, one "block" per result block once
// composed, "answered" once they are all in the result file, "done" once the
// file is gone. The last 1,000 commands are kept.
//
// A journal that cannot be written is said once; the program then goes on
// with what it keeps in memory. Damage other than a torn last record is
// reported, the damaged file kept beside as a copy, and the journal rewritten
// with every record that was still good.
class CommandJournal {
public:
    static constexpr const char* FileName = "JournalTlvPos.TXT";
    static constexpr std::size_t keptCommands = 1000;
    // The journal is rewritten once it holds this many more, not at every
    // command.
    static constexpr std::size_t compactionSlack = 100;

    CommandJournal(Platform& platform, std::string path);

    void load();
    // The journal held damaged records when it was loaded.
    bool damaged() const { return damaged_; }
    // A command of the journal as loaded had this version.
    bool holds(const CommandFileVersion& version) const;
    // The command not yet done, if any.
    JournalledCommand* pending() { return pending_ ? &*pending_ : nullptr; }

    // A new command; any pending one must have been finished.
    JournalledCommand& start(const CommandFileVersion& version, std::uint64_t from,
                             const std::string& commandPath);
    // The pending command's next block, which then waits to be delivered.
    void addBlock(std::string&& block);
    void answered();
    // The pending command is done with: its file deleted ("deleted"), gone by
    // itself ("gone"), replaced ("replaced") or grown ("appended").
    void finish(const std::string& how);

    const std::string& path() const { return path_; }

private:
    void write(const std::string& record);
    void reportUnwritable(const RunTimeError& error);
    // Reads the file's records into the parser, up to its last line end.
    void parse(JournalParser& parser);
    // Writes in place of the file its good records, of the last `keep`
    // commands among them.
    void rewrite(std::size_t keep);
    void compactIfLong();

    Platform& platform_;
    std::string path_;
    bool writable_ = true;
    bool damaged_ = false;
    std::uint64_t lastId_ = 0;
    std::size_t commandsInFile_ = 0;
    std::vector<CommandFileVersion> loaded_;
    std::optional<JournalledCommand> pending_;
};

} // namespace kvl
