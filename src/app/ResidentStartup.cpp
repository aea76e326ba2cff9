#include "app/ResidentStartup.h"

#include "app/ConsoleSetup.h"
#include "app/PollingCycle.h"
#include "commands/CommandHandlers.h"
#include "config/ConfigurationReader.h"
#include "config/DataFolder.h"
#include "config/ParameterFile.h"
#include "platform/SleepDelay.h"
#include "platform/StepGuard.h"
#include "platform/Text.h"
#include "platform/TrayIcon.h"
#include "terminal/DynamicTerminalLibrary.h"

namespace kvl {

namespace {

constexpr int pollingInterval = 300;
constexpr std::size_t trayTipWidth = 64;
// Status requests after the first one that fails, before giving up.
constexpr int statusRetries = 3;
constexpr std::size_t shownTerminalIdWidth = 8;
constexpr long long highestPort = 9999;

// The program ends after the fatal start-up checks with a failure status.
constexpr int startupFailed = 1;

void reportLibraryMissing(Program& program, const RunTimeError& failure) {
    std::string& message = program.libraryFailure;
    message = "Libreria del terminale non caricata (" +
              terminalLibraryName(program.platform.libraries) + "): " + failure.description();
    program.platform.messages.show(message, ProgramTitle, MessageButtons::Ok, MessageIcon::None);
}

// False when the configuration cannot be read: the program ends.
bool readConfiguration(Program& program) {
    std::string problem;
    if (!skipOnFailure([&] {
            problem = EstrazioneParametriComunicazione(program.config, program.ConfigFilePath);
        }))
        return true;
    if (problem.empty())
        return true;
    program.platform.messages.show("ERRORE: " + problem, ProgramTitle, MessageButtons::Ok,
                                   MessageIcon::None);
    program.platform.events.quit(startupFailed);
    return false;
}

// The address check refuses such a port at every exchange; the operator
// hears why once, at start.
void reportUnusablePort(Program& program) {
    if (program.params.ConnectionType != CommunicationParameters::Ethernet)
        return;
    const auto port = text::numberValue(program.records.ethInit.Port.text());
    if (port && *port > highestPort)
        program.platform.messages.show("Porta Eth " + std::to_string(*port) +
                                           " non utilizzabile: il programma accetta porte da 1 a " +
                                           std::to_string(highestPort),
                                       ProgramTitle, MessageButtons::Ok, MessageIcon::None);
}

void deleteResultFile(Program& program) {
    const std::string& path = program.params.ResultFilePath;
    if (program.platform.files.fileExists(path))
        program.platform.files.deleteFile(path);
}

// False when the data folder does not exist: the program ends.
bool settleDataFolder(Program& program) {
    bool exists = true;
    skipOnFailure([&] { exists = SettleDataFolder(program.config); });
    if (!exists)
        program.platform.events.quit(startupFailed);
    return exists;
}

// Asks the terminal for its status up to five times, 200 ms apart. False when
// the program ends during a pause.
bool firstStatusRequest(Program& program) {
    for (int retries = statusRetries;; --retries) {
        std::string problem = "?";
        skipOnFailure([&] { problem = ComandoStatus(program.commands, "POS_STATUS"); });
        if (problem.empty()) {
            program.frmWpos1Type.ShapeDump.setFillColour(Colour::Green);
            return true;
        }
        if (retries < 0)
            return true;
        if (!SleepDelay(program.platform.events, 200))
            return false;
    }
}

void showTerminalId(Program& program) {
    auto& field = program.records.posData.TerminalId;
    const std::string shown = field.text().substr(0, shownTerminalIdWidth);
    field.store(shown);
    program.frmWpos1Type.lblValTerminalId.setCaption(text::upToNul(shown));
}

void fillLabels(Program& program) {
    FrmWpos1Type& window = program.frmWpos1Type;
    const FrmMain& console = program.frmMain;
    const bool ethernet = program.params.ConnectionType == CommunicationParameters::Ethernet;
    window.lblTipo2.setCaption(ethernet ? "ETH" : "COM");
    window.lblIPAD2.setCaption(console.txtIP.text());
    window.lblPORT2.setCaption(console.txtPorta.text());
    window.lblPCOM2.setCaption(std::to_string(comPortNumber(program.records.rs232Init)));
    window.lblBAUD2.setCaption(console.cmbBaud.text());
    window.lblSTOP2.setCaption(console.cmbStop.text());
    window.lblBITS2.setCaption(console.cmbDati.text());
    window.lblPARI2.setCaption(console.cmbParity.text());
    window.lblINPF2.setCaption(program.params.CommandFilePath);
    window.lblOUTF2.setCaption(program.params.ResultFilePath);
}

void registerTrayIcon(Program& program) {
    NotifyIconData& icon = program.frmWpos1Type.trayIcon;
    icon.size = 88;
    icon.iconId = 1;
    icon.flags = 7;
    icon.callbackMessage = 0x200;
    icon.tip = trayIconTip();
    program.platform.tray.add(icon);
}

} // namespace

std::string trayIconTip() {
    std::string tip = "KvlTalvioPos in esecuzione...";
    tip += '\0';
    tip.resize(trayTipWidth, ' ');
    return tip;
}

bool frmWpos1Type_Load(Program& program) {
    FrmWpos1Type& window = program.frmWpos1Type;
    window.Timer1.onTimer([&program] { Timer1_Timer(program); });
    program.timer1 = std::make_unique<TimerBinding>(window.Timer1, program.platform.events);
    program.platform.events.onCloseRequest([&program] { program.frmWpos1Type.requestClose(); });

    window.Timer1.setEnabled(false);
    window.Timer1.setInterval(pollingInterval);
    window.Shape1.setFillColour(Colour::Red);
    giveInitialListEntries(program.frmMain);
    try {
        showLibraryVersion(program.terminal);
    } catch (const RunTimeError& failure) {
        // Nothing after this could work without the library.
        reportLibraryMissing(program, failure);
        return true;
    }

    // From here on a failing step is skipped.
    skipOnFailure([&] { LoadParameters(program.config); });
    program.ConfigFilePath = window.txtConfFile.text();
    if (!readConfiguration(program))
        return false;
    skipOnFailure([&] { reportUnusablePort(program); });
    // Loaded before the old result file goes: the answers still owed to a
    // command file are in it and are written again.
    commandJournal(program);
    skipOnFailure([&] { deleteResultFile(program); });
    if (!settleDataFolder(program))
        return false;
    skipOnFailure([&] { selectLineSettings(program.terminal); });
    if (!firstStatusRequest(program))
        return false;
    skipOnFailure([&] { showTerminalId(program); });
    skipOnFailure([&] { fillLabels(program); });
    skipOnFailure([&] { registerTrayIcon(program); });
    window.Timer1.setEnabled(true);
    return true;
}

} // namespace kvl
