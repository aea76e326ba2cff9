#pragma once

#include "app/CommandFileState.h"
#include "app/CommandJournal.h"
#include "app/Program.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace kvl {

// How a step that may fail is run: the polling tick waits and tries again,
// the one-shot run skips it.
class StepRunner {
public:
    virtual ~StepRunner() = default;
    // Runs the step until it succeeds or is given up; false when given up.
    virtual bool run(const std::function<void()>& step) = 0;
    // Runs the step once; false when it failed.
    virtual bool runOnce(const std::function<void()>& step) = 0;
};

// The command file's way from the ECR's folder to its answer, with the
// journal as witness: a command file is run once, its blocks are journalled
// before they are written to the result file, the file is deleted only once
// they are all there and only if it is still the version that ran, and a
// command whose exchange was cut short by the end of the program is answered
// as of unknown outcome instead of being run again.
class CommandFileHandling {
public:
    enum class Result {
        NoFile,   // no command file, or it could not be looked at
        Waiting,  // a file that is not ready, or whose answer cannot be written yet
        Answered, // a command already run got its answer or its deletion
        Ran,      // a command was handed to the dispatcher, or answered as unknown
    };

    CommandFileHandling(Program& program, CommandJournal& journal, CommandFileState& state,
                        StepRunner& steps);

    // The command file's size, time and last byte; nullopt when there is no
    // file (a pending command's file is then gone) or the look failed.
    std::optional<CommandFileLook> look();

    // When the file is the version of the pending command: writes what is
    // left of its answer and deletes it, and returns true. Nothing is run.
    bool finishPending(const CommandFileLook& look);

    // Handles a file that is ready to be read: when `settled` is given, only
    // if it still has the size and time that were seen to stand still.
    Result run(const std::optional<FileIdentity>& settled = std::nullopt);

private:
    const std::string& commandPath() const;
    // The command file read through, nullopt when it is gone or cannot be read.
    std::optional<CommandFileRead> readIfThere(std::uint64_t prefixLength);
    // The pending command gets its missing blocks, they go to the result
    // file, and "answered" is journalled. False while a block cannot be
    // written.
    bool answerPending(CommandFileRead& read);
    void addUnknownOutcomes(CommandFileRead& read, JournalledCommand& command);
    void forEachCommandLine(CommandFileRead& read, std::uint64_t from, std::uint64_t to,
                            const std::function<void(const std::string&)>& use);
    // A composed block: journalled, copied to the log, delivered.
    void take(std::string block);
    bool deliver(JournalledCommand& command);
    void copyToLog(const std::string& block);
    // Deletes the command file if it is still the pending command's version.
    void deleteAnswered();
    void dispatch(CommandFileRead& read, std::uint64_t from);
    void deleteStaleResult();

    Program& program_;
    FileSystem& files_;
    CommandJournal& journal_;
    CommandFileState& state_;
    StepRunner& steps_;
};

} // namespace kvl
