#include "app/OneShotRun.h"

#include "app/CommandFileHandling.h"
#include "app/ConsoleSetup.h"
#include "app/StartupForm.h"
#include "config/ConfigurationReader.h"
#include "config/ParameterFile.h"
#include "platform/StepGuard.h"
#include "platform/Text.h"

namespace kvl {

namespace {

const std::string ConfigFileEnding = ".TXT";

void deleteIfPresent(Program& program, const std::string& path) {
    if (program.platform.files.fileExists(path))
        program.platform.files.deleteFile(path);
}

// The one-shot run has no later tick to try a step again: a failing step is
// skipped.
class SkippingSteps : public StepRunner {
public:
    bool run(const std::function<void()>& step) override { return skipOnFailure(step); }
    bool runOnce(const std::function<void()>& step) override { return skipOnFailure(step); }
};

} // namespace

std::string oneShotArgument(const std::string& commandLine) {
    const std::size_t at = text::findIgnoringCase(commandLine, "-E");
    if (at == std::string::npos)
        return {};
    // Trimmed, so that "-E name.TXT" finds the name in the program folder.
    return text::trim(text::removeAll(commandLine.substr(at + 2), '"'));
}

std::optional<std::string> oneShotConfigFile(const std::string& argument,
                                             const std::string& programFolder,
                                             const FileSystem& files) {
    if (argument.size() < ConfigFileEnding.size() ||
        argument.compare(argument.size() - ConfigFileEnding.size(), ConfigFileEnding.size(),
                         ConfigFileEnding) != 0)
        return std::nullopt;
    if (files.containsSeparator(argument))
        return argument;
    return files.joinPath(programFolder, argument);
}

void runOneShot(Program& program, const std::string& commandLine) {
    CommunicationParameters& params = program.params;
    // A close answered while a box of this run is open ends the program, but
    // the run still goes to its end: the command file it processed must get
    // its answer and go, or the next start would charge it again.
    // The resident start-up enabled polling; a tick running in a wait of this
    // run would process the same command file a second time.
    program.frmWpos1Type.Timer1.setEnabled(false);

    // Without the terminal library the resident start-up read no settings;
    // the command file still gets its answer, each line the library's failure.
    if (!program.libraryFailure.empty())
        skipOnFailure([&] {
            LoadParameters(program.config);
            program.ConfigFilePath = program.frmWpos1Type.txtConfFile.text();
        });
    skipOnFailure([&] {
        if (auto config =
                oneShotConfigFile(oneShotArgument(commandLine),
                                  program.platform.program.programFolder(), program.platform.files))
            program.ConfigFilePath = *config;
    });
    skipOnFailure(
        [&] { EstrazioneParametriComunicazione(program.config, program.ConfigFilePath); });
    CommandJournal& journal = commandJournal(program);
    // Every answer still owed to a command file is in the journal and is
    // written again.
    skipOnFailure([&] { deleteIfPresent(program, params.ResultFilePath); });
    skipOnFailure([&] { selectLineSettings(program.terminal); });
    params.CommandFilePath = text::upperCase(text::trimLeft(params.CommandFilePath));

    // The command file is deleted once its answer is in the result file; one
    // whose answer could not be written stays for the next run.
    SkippingSteps steps;
    CommandFileHandling handling(program, journal, program.commandFile, steps);
    if (const auto look = handling.look())
        if (!handling.finishPending(*look))
            handling.run();
    skipOnFailure([&] { program.library.IAE17AX_Free(); });
    // The tray icon the start-up registered goes with the program.
    skipOnFailure([&] { program.platform.tray.remove(program.frmWpos1Type.trayIcon); });
    program.frmMain.unload();
}

} // namespace kvl
