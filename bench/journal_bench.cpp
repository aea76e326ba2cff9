// What the command journal costs per command, against the dispatch itself:
// the journal's four records (started, the block, answered, done), each
// appended and synced to the disk, and the whole handling of a command file
// (version hash, dispatch, journal, result block, deletion), on a real folder
// with a terminal library that answers at once.

#include "app/CommandFileHandling.h"
#include "app/Program.h"
#include "commands/Dispatcher.h"
#include "commands/ResultWriter.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/FakeModalForms.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kvl;

const std::string PaymentLine = "POS_PAGAME,T00000001,E00000001,A000001250,P00";

// The real file services in a temporary program folder, fakes for the rest.
struct Bench {
    Bench() {
        fake.program.folder = folder.path();
        program.params.ConnectionType = CommunicationParameters::Rs232;
        program.params.CommandFilePath = folder.file("SR_DATI.TXT");
        program.params.ResultFilePath = folder.file("SR_OUT.TXT");
    }

    test::TempFolder folder;
    test::FakePlatform fake;
    PosixFileSystem files;
    Platform platform{files,         fake.messages, fake.events,    fake.clock,     fake.program,
                      fake.instance, fake.system,   fake.documents, fake.libraries, fake.tray};
    test::FakeTerminalLibrary library;
    test::FakeModalForms modal;
    Program program{platform, library, modal};
};

class Once : public StepRunner {
public:
    bool run(const std::function<void()>& step) override { return runOnce(step); }
    bool runOnce(const std::function<void()>& step) override {
        step();
        return true;
    }
};

// The dispatcher alone on a one-line command file, its block appended (and
// synced) to the result file.
void Dispatch(benchmark::State& state) {
    Bench bench;
    test::writeFile(bench.program.params.CommandFilePath, PaymentLine + "\r\n");
    for (auto _ : state) {
        ElaboraFileComandi(bench.program.commands, bench.program.params.CommandFilePath, false);
        state.PauseTiming();
        bench.files.deleteFile(bench.program.params.ResultFilePath);
        bench.library.clearCalls();
        state.ResumeTiming();
    }
}

// The journal's records for one command of one block.
void JournalRecords(benchmark::State& state) {
    Bench bench;
    CommandJournal& journal = commandJournal(bench.program);
    const std::string block = composeResultBlock(bench.program.commands, PaymentLine, "");
    CommandFileVersion version{{48, 1}, 1};
    for (auto _ : state) {
        ++version.identity.modifiedNanoseconds;
        journal.start(version, 0, bench.program.params.CommandFilePath);
        journal.addBlock(std::string(block));
        journal.answered();
        journal.finish("deleted");
    }
}

// A command file from the ECR's folder to its answer and its deletion.
void HandledCommand(benchmark::State& state) {
    Bench bench;
    CommandJournal& journal = commandJournal(bench.program);
    Once steps;
    CommandFileHandling handling(bench.program, journal, bench.program.commandFile, steps);
    for (auto _ : state) {
        state.PauseTiming();
        test::writeFile(bench.program.params.CommandFilePath, PaymentLine + "\r\n");
        bench.library.clearCalls();
        state.ResumeTiming();
        handling.run();
    }
}

} // namespace

BENCHMARK(Dispatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(JournalRecords)->Unit(benchmark::kMicrosecond);
BENCHMARK(HandledCommand)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
