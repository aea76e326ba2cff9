#include "app/PollingCycle.h"

#include "app/CommandFileHandling.h"
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
class TickSteps : public StepRunner {
public:
    explicit TickSteps(Program& program) : program_(program) {}

    bool run(const std::function<void()>& step) override {
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

    // A failure counts as an error, waits, and the tick goes on with the next
    // step.
    bool runOnce(const std::function<void()>& step) override {
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
        : program_(program), form_(program.frmWpos1Type), state_(program.commandFile),
          steps_(program), handling_(program, commandJournal(program), state_, steps_) {}

    void run() {
        form_.Timer1.setEnabled(false);
        form_.Shape1.setFillColour(Colour::Yellow);

        if (!program_.ConnectionConfirmed && !driveFound()) {
            program_.platform.messages.show(DriveMissing, ProgramTitle, MessageButtons::Ok,
                                            MessageIcon::None);
            form_.Shape1.setFillColour(Colour::Red);
            return;
        }

        if (lookForCommand())
            pace();
        else
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

    bool driveFound() {
        bool found = true;
        // A lookup that keeps failing is skipped: the tick goes on as if found.
        steps_.run([&] {
            found = program_.platform.files.entryExists(DriveRoot(program_.params.CommandFilePath));
        });
        return found;
    }

    // True when a command was processed, which sets the pause before the next
    // look.
    bool lookForCommand() {
        std::optional<CommandFileLook> look = handling_.look();
        if (!look)
            return false;
        // Run before and still there: only its answer and deletion are left.
        if (handling_.finishPending(*look))
            return false;
        if (!settled(*look))
            return false;
        return handling_.run(look->identity) == CommandFileHandling::Result::Ran;
    }

    // A file still being written is read only once it has stood still; the
    // look is then the last one made.
    bool settled(CommandFileLook& look) {
        Clock& clock = program_.platform.clock;
        if (SettleRule::stoodStill(look, clock.wallNanoseconds()) ||
            state_.settle.settled(look, clock.now()))
            return true;
        if (!wait(static_cast<float>(SettleRule::settleTime(look).count())))
            return false;
        const std::optional<CommandFileLook> again = handling_.look();
        if (!again)
            return false;
        look = *again;
        return state_.settle.settled(look, clock.now());
    }

    void pace() {
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
    FrmWpos1Type& form_;
    CommandFileState& state_;
    TickSteps steps_;
    CommandFileHandling handling_;
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
