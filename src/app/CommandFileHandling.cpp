#include "app/CommandFileHandling.h"

#include "commands/Dispatcher.h"
#include "commands/ResultWriter.h"
#include "platform/LineSplitter.h"
#include "platform/RunTimeError.h"
#include "terminal/OutcomePresentation.h"

namespace kvl {

namespace {

// The lines of a command: the file's bytes from `from` up to the size of
// the version that ran.
LineSplitter linesOf(CommandFileRead& read, std::uint64_t from, std::uint64_t to) {
    read.file->seek(from);
    return LineSplitter(*read.file, to - from);
}

} // namespace

CommandFileHandling::CommandFileHandling(Program& program, CommandJournal& journal,
                                         CommandFileState& state, StepRunner& steps)
    : program_(program), files_(program.platform.files), journal_(journal), state_(state),
      steps_(steps) {}

const std::string& CommandFileHandling::commandPath() const {
    return program_.params.CommandFilePath;
}

std::optional<CommandFileLook> CommandFileHandling::look() {
    std::optional<CommandFileLook> found;
    bool gone = false;
    steps_.run([&] {
        found = lookAtCommandFile(files_, commandPath());
        gone = !found;
    });
    if (gone) {
        state_.firstLook = false;
        state_.settle.forget();
        if (journal_.pending())
            journal_.finish("gone");
    }
    return found;
}

bool CommandFileHandling::finishPending(const CommandFileLook& look) {
    JournalledCommand* pending = journal_.pending();
    if (!pending || pending->version.identity != look.identity)
        return false;
    std::optional<CommandFileRead> read = readIfThere(0);
    if (!read || read->version != pending->version)
        return false;
    state_.firstLook = false;
    if (answerPending(*read))
        deleteAnswered();
    return true;
}

CommandFileHandling::Result CommandFileHandling::run(const std::optional<FileIdentity>& settled) {
    JournalledCommand* pending = journal_.pending();
    const std::uint64_t pendingSize = pending ? pending->version.identity.size : 0;
    std::optional<CommandFileRead> read = readIfThere(pendingSize);
    if (!read || (settled && read->version.identity != *settled))
        return Result::Waiting;
    const bool firstLook = state_.firstLook;
    state_.firstLook = false;

    if (pending && read->version == pending->version) {
        if (answerPending(*read))
            deleteAnswered();
        return Result::Answered;
    }

    // The ECR appended lines to a file already run: its own part is answered
    // first, and only what was added is new.
    std::uint64_t from = 0;
    if (pending) {
        const bool appended = pendingSize < read->version.identity.size &&
                              read->prefixHash == pending->version.contentHash;
        if (appended) {
            if (!answerPending(*read))
                return Result::Waiting;
            from = pendingSize;
        }
        journal_.finish(appended ? "appended" : "replaced");
    }

    program_.frmWpos1Type.Shape1.setFillColour(Colour::Green);
    // The answers already in the result file belong to the same file's lines.
    if (from == 0)
        deleteStaleResult();

    // Whether this file ran before the journal was damaged cannot be known:
    // running it again might charge twice.
    const bool unknown = firstLook && journal_.damaged() && !journal_.holds(read->version);
    JournalledCommand& command = journal_.start(read->version, from, commandPath());
    if (unknown)
        addUnknownOutcomes(*read, command);
    else
        dispatch(*read, from);
    command.complete = true;
    if (deliver(command)) {
        journal_.answered();
        deleteAnswered();
    }
    return Result::Ran;
}

std::optional<CommandFileRead> CommandFileHandling::readIfThere(std::uint64_t prefixLength) {
    std::optional<CommandFileRead> read;
    // A file the ECR took away meanwhile is not waited for.
    steps_.run([&] {
        read.reset();
        if (files_.fileExists(commandPath()))
            read = readCommandFile(files_, commandPath(), prefixLength);
    });
    return read;
}

bool CommandFileHandling::answerPending(CommandFileRead& read) {
    JournalledCommand& command = *journal_.pending();
    if (!command.complete) {
        addUnknownOutcomes(read, command);
        command.complete = true;
    }
    if (!deliver(command))
        return false;
    if (!command.answered)
        journal_.answered();
    return true;
}

void CommandFileHandling::addUnknownOutcomes(CommandFileRead& read, JournalledCommand& command) {
    // The lines that have a block are the first ones; the one whose exchange
    // was cut short and those after it never got theirs.
    std::size_t seen = 0;
    const std::size_t answered = command.blockCount;
    forEachCommandLine(read, command.from, command.version.identity.size,
                       [&](const std::string& line) {
                           if (seen++ >= answered)
                               take(composeUnknownOutcome(program_.commands, line));
                       });
}

void CommandFileHandling::dispatch(CommandFileRead& read, std::uint64_t from) {
    const std::string& libraryFailure = program_.libraryFailure;
    if (!libraryFailure.empty()) {
        // Nothing can reach the terminal: every line is refused with the
        // reason, its outcome fields empty.
        forEachCommandLine(read, from, read.version.identity.size, [&](const std::string& line) {
            PulisciEsito(program_.frmMain);
            take(composeResultBlock(program_.commands, line, libraryFailure));
        });
        return;
    }
    steps_.runOnce([&] {
        LineSplitter lines = linesOf(read, from, read.version.identity.size);
        dispatchCommandLines(program_.commands, lines, program_.params.EcrIdRequired,
                             [&](std::string block) { take(std::move(block)); });
    });
}

void CommandFileHandling::forEachCommandLine(CommandFileRead& read, std::uint64_t from,
                                             std::uint64_t to,
                                             const std::function<void(const std::string&)>& use) {
    steps_.runOnce([&] {
        LineSplitter lines = linesOf(read, from, to);
        while (auto line = lines.readLine())
            if (toCommandLine(*line))
                use(*line);
    });
}

void CommandFileHandling::take(std::string block) {
    journal_.addBlock(std::move(block));
    JournalledCommand& command = *journal_.pending();
    copyToLog(command.undelivered.back());
    deliver(command);
}

bool CommandFileHandling::deliver(JournalledCommand& command) {
    const std::string& resultFile = program_.params.ResultFilePath;
    while (!command.undelivered.empty()) {
        try {
            files_.append(resultFile, command.undelivered.front());
        } catch (const RunTimeError& error) {
            if (state_.reportedWriteFailure != command.id) {
                state_.reportedWriteFailure = command.id;
                program_.platform.messages.show(
                    "Impossibile scrivere il risultato in " + resultFile + ": " +
                        reasonOf(error, resultFile) +
                        ". Il comando resta in attesa e la scrittura viene ritentata.",
                    ProgramTitle, MessageButtons::Ok, MessageIcon::None);
            }
            return false;
        }
        command.undelivered.pop_front();
    }
    return true;
}

void CommandFileHandling::copyToLog(const std::string& block) {
    // The log is a copy for the operator: a failure to write it holds
    // nothing up.
    if (!logSwitchedOn(program_.frmWpos1Type))
        return;
    try {
        files_.append(program_.frmWpos1Type.txtLogFileName.text(), block);
    } catch (const RunTimeError&) {
    }
}

void CommandFileHandling::deleteAnswered() {
    const CommandFileVersion answered = journal_.pending()->version;
    bool gone = false;
    steps_.run([&] {
        gone = false;
        if (!files_.fileExists(commandPath())) {
            gone = true;
            return;
        }
        // A file the ECR wrote meanwhile is kept for the next look.
        if (readCommandFile(files_, commandPath(), 0).version != answered)
            return;
        files_.deleteFile(commandPath());
        gone = true;
    });
    if (gone) {
        state_.settle.forget();
        journal_.finish("deleted");
    }
}

void CommandFileHandling::deleteStaleResult() {
    steps_.run([&] {
        if (files_.fileExists(program_.params.ResultFilePath))
            files_.deleteFile(program_.params.ResultFilePath);
    });
}

} // namespace kvl
