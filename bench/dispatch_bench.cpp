// The program's own processing time per command line: the dispatcher reads a
// command file from a real folder, runs the handler with a terminal library
// that answers at once, and appends the result block. Terminal time and the
// polling cycle's pacing are left out.

#include "app/Program.h"
#include "commands/Dispatcher.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/FakeModalForms.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kvl;

void processCommandFile(benchmark::State& state, const std::string& line) {
    const auto linesPerFile = static_cast<int>(state.range(0));
    test::TempFolder folder;
    test::FakePlatform fake;
    PosixFileSystem files;
    Platform platform = fake.platform();
    Platform real{files,           platform.messages,  platform.events,
                  platform.clock,  platform.program,   platform.instance,
                  platform.system, platform.documents, platform.libraries,
                  platform.tray};
    test::FakeTerminalLibrary library;
    test::FakeModalForms modal;
    Program program(real, library, modal);
    program.params.ConnectionType = CommunicationParameters::Rs232;
    program.params.CommandFilePath = folder.file("SR_DATI.TXT");
    program.params.ResultFilePath = folder.file("SR_OUT.TXT");

    std::string commands;
    for (int i = 0; i < linesPerFile; ++i)
        commands += line + "\r\n";
    test::writeFile(program.params.CommandFilePath, commands);

    for (auto _ : state) {
        ElaboraFileComandi(program.commands, program.params.CommandFilePath, false);
        state.PauseTiming();
        files.deleteFile(program.params.ResultFilePath);
        library.clearCalls();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * linesPerFile);
}

void Payment(benchmark::State& state) {
    processCommandFile(state, "POS_PAGAME,T00000001,E00000001,A000001250,P00");
}
void Status(benchmark::State& state) {
    processCommandFile(state, "POS_STATUS");
}
void Refused(benchmark::State& state) {
    processCommandFile(state, "POS_PREAUT");
}

} // namespace

BENCHMARK(Payment)->Arg(1)->Arg(100);
BENCHMARK(Status)->Arg(1);
BENCHMARK(Refused)->Arg(100);

BENCHMARK_MAIN();
