#include "app/PollingCycle.h"

#include "commands/Dispatcher.h"
#include "config/ConfigurationReader.h"
#include "platform/RunTimeError.h"
#include "platform/SleepDelay.h"

#include <chrono>
#include <optional>

namespace kvl {

namespace {

const std::string DriveMissing = "Cartella per file di I/O non trovata. Creare cartella.";

// From this error of a tick on, a failing step is skipped.
constexpr int errorLimit = 20;
constexpr std::chrono::milliseconds retryPause{500};

// The steps of one tick under its error rules: a failing step waits 500 ms
// (no events) and runs again, until the tick's twentieth error, from which on
// failing steps are skipped. A command file still held open by another
// program (errors 70 and 75) needs no rule of its own here: the hand-over is
// never repeated and the deletion is retried only while the file is there.
class TickSteps {
public:
    explicit TickSteps(Program& program) : program_(program) {}

    // Runs the step until it succeeds; false when it was skipped.
    template <class Step> bool run(Step&& step) {
        for (;;) {
            try {
                step();
                return true;
            } catch (const RunTimeError&) {
                if (!pauseAfterError())
                    return false;
            }
        }
    }

    // Runs the step once: a failure counts as an error, waits, and the tick
    // goes on with the next step.
    template <class Step> bool runOnce(Step&& step) {
        try {
            step();
            return true;
        } catch (const RunTimeError&) {
            pauseAfterError();
            return false;
        }
    }

private:
    // Counts an error; false when the limit is reached and the step is skipped.
    bool pauseAfterError() {
        if (++errors_ >= errorLimit)
            return false;
        program_.platform.events.sleep(retryPause);
        return true;
    }

    Program& program_;
    int errors_ = 0;
};

class Tick {
public:
    explicit Tick(Program& program)
        : program_(program), files_(program.platform.files), form_(program.frmWpos1Type),
          memory_(program.commandFile), steps_(program) {}

    void run() {
        form_.Timer1.setEnabled(false);
        form_.Shape1.setFillColour(Colour::Yellow);

        if (!program_.ConnectionConfirmed && !driveFound()) {
            program_.platform.messages.show(DriveMissing, ProgramTitle, MessageButtons::Ok,
                                            MessageIcon::None);
            form_.Shape1.setFillColour(Colour::Red);
            return;
        }

        if (!lookForCommand())
            wait(1000);
        // A close answered during one of the waits ends the program: the
        // tick stops where it is and polling stays off.
        if (ending())
            return;

        form_.Shape1.setFillColour(Colour::Red);
        form_.Timer1.setEnabled(true);
    }

private:
    bool ending() const { return program_.platform.events.quitRequested(); }

    // SleepDelay under the tick's error rules; false when the program is ending.
    bool wait(float milliseconds) {
        steps_.run([&] { SleepDelay(program_.platform.events, milliseconds); });
        return !ending();
    }

    const std::string& commandPath() const { return program_.params.CommandFilePath; }

    bool driveFound() {
        bool found = true;
        // A lookup that keeps failing is skipped: the tick goes on as if found.
        steps_.run([&] { found = files_.entryExists(DriveRoot(commandPath())); });
        return found;
    }

    // The size and time of the command file, nullopt when there is none.
    std::optional<FileIdentity> look() {
        std::optional<FileIdentity> identity;
        const bool looked = steps_.run([&] {
            identity.reset();
            if (files_.fileExists(commandPath()))
                identity = files_.identity(commandPath());
        });
        if (looked && !identity)
            memory_.fileGone();
        return identity;
    }

    std::optional<CommandFileVersion> version(const FileIdentity& identity) {
        std::optional<CommandFileVersion> result;
        steps_.run([&] {
            result = CommandFileVersion{identity, contentHash(files_.readAll(commandPath()))};
        });
        return result;
    }

    void deleteCommandFile() {
        // Deleted, or gone by itself: whatever appears there next is new.
        const bool deleted = steps_.run([&] {
            if (files_.fileExists(commandPath()))
                files_.deleteFile(commandPath());
        });
        if (deleted)
            memory_.fileGone();
    }

    // True when a command was processed, which sets the pause before the next
    // look.
    bool lookForCommand() {
        std::optional<FileIdentity> identity = look();
        if (!identity)
            return false;

        // Processed before and still there because its deletion failed: its
        // payment must not be charged again and its result file stays; only
        // the deletion is tried again.
        if (memory_.mayBeProcessed(*identity)) {
            const auto seen = version(*identity);
            if (!seen)
                return false;
            if (memory_.alreadyProcessed(*seen)) {
                deleteCommandFile();
                return false;
            }
        }

        // A file still being written is read only once its size and time
        // have stayed the same for a while.
        if (!memory_.settled(*identity, program_.platform.clock.now())) {
            if (!wait(static_cast<float>(CommandFileMemory::settleTime.count())))
                return false;
            identity = look();
            if (!identity || !memory_.settled(*identity, program_.platform.clock.now()))
                return false;
        }

        const auto command = version(*identity);
        if (!command)
            return false;
        processCommand(*command);
        return true;
    }

    void processCommand(const CommandFileVersion& command) {
        form_.Shape1.setFillColour(Colour::Green);
        steps_.run([&] {
            if (files_.fileExists(program_.params.ResultFilePath))
                files_.deleteFile(program_.params.ResultFilePath);
        });

        // Remembered before the hand-over, so that a failure part-way can
        // never lead to a second run of the same command.
        memory_.processing(command);
        // Never run again within the tick: the command may already have
        // reached the terminal. A file still held by another program goes
        // straight on to its deletion.
        steps_.runOnce([&] {
            ElaboraFileComandi(program_.commands, commandPath(), program_.params.EcrIdRequired);
        });
        deleteCommandFile();

        if (!wait(200))
            return;
        steps_.run([&] { program_.platform.events.processEvents(); });
        if (ending())
            return;

        // Compared exactly: "ok" or "OK " is not a confirmation.
        const bool outcomeOk = program_.frmMain.txtEsito.text() == "OK";
        if (!program_.ConnectionConfirmed && outcomeOk) {
            program_.ConnectionConfirmed = true;
            form_.ShapeDump.setFillColour(Colour::Green);
        }
        wait(outcomeOk ? 300 : 1500);
    }

    Program& program_;
    FileSystem& files_;
    FrmWpos1Type& form_;
    CommandFileMemory& memory_;
    TickSteps steps_;
};

} // namespace

void Timer1_Timer(Program& program) {
    // A console operation is under way (its library lets events run, or it
    // shows a box): the command file waits for the next tick rather than meet
    // a refused call or an outcome field that operation is about to write.
    if (program.library.busy())
        return;
    Tick(program).run();
}

} // namespace kvl
