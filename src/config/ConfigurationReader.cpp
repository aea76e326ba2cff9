#include "config/ConfigurationReader.h"

#include "config/ConfigurationLine.h"
#include "platform/RunTimeError.h"
#include "platform/Text.h"
#include "terminal/ConnectionSetup.h"
#include "terminal/OutcomePresentation.h"

#include <array>

namespace kvl {

namespace {

// Each setting returns true when the line is done with; false lets the keys
// after it be tried on the same line. A value that does not fit its record
// field is refused rather than cut: a cut address, port or COM number would
// name a different one.

bool applyTipo(ConfigContext& config, const std::string& line) {
    const bool ethernet =
        text::findIgnoringCase(config::settingValue(line), "ETH") != std::string::npos;
    config.params.ConnectionType =
        ethernet ? CommunicationParameters::Ethernet : CommunicationParameters::Rs232;
    return true;
}

bool applyIpad(ConfigContext& config, const std::string& line) {
    const std::string value = config::settingValue(line);
    auto& field = config.records.ethInit.IpAddress;
    if (value.size() > field.width || !IndirizzoIPValido(value))
        return false;
    field.store(value);
    config.frmMain.txtIP.setText(text::fixedWidth(value, field.width));
    return true;
}

bool applyPort(ConfigContext& config, const std::string& line) {
    const std::string value = config::settingValue(line);
    auto& field = config.records.ethInit.Port;
    if (value.size() > field.width || !text::isNumber(value))
        return false;
    field.store(value);
    config.frmMain.txtPorta.setText(text::fixedWidth(value, field.width));
    return true;
}

bool applyPcom(ConfigContext& config, const std::string& line) {
    const std::string value = config::settingValue(line);
    auto& field = config.records.rs232Init.ComPort;
    const auto number = text::numberValue(value);
    if (value.size() > field.width || !number || *number < 1 || *number > 20)
        return false;
    field.store(value);
    return true;
}

bool applyBaud(ConfigContext& config, const std::string& line) {
    config.records.rs232Init.BaudCode.store(config::baudCode(config::settingValue(line)));
    return true;
}

bool applyStop(ConfigContext& config, const std::string& line) {
    config.records.rs232Init.StopBitsCode.store(config::stopBitsCode(config::settingValue(line)));
    return true;
}

bool applyBits(ConfigContext& config, const std::string& line) {
    config.records.rs232Init.DataBitsCode.store(config::dataBitsCode(config::settingValue(line)));
    return true;
}

bool applyPari(ConfigContext& config, const std::string& line) {
    const std::string value = config::settingValue(line);
    if (value.empty())
        return false;
    config.records.rs232Init.ParityCode.store(config::parityCode(value));
    return true;
}

bool applyEcri(ConfigContext& config, const std::string& line) {
    config.params.EcrIdRequired = text::upperCase(config::settingValue(line)) == "S";
    return true;
}

// The command or result file path of an INPF / OUTF line. The key alone, or
// a value that is empty once trimmed and unquoted, gives the default name:
// the program folder by itself would name a folder, not a file. A name
// without a folder is placed in the program folder.
std::string filePath(ConfigContext& config, const std::string& line,
                     const std::string& defaultName) {
    std::string path = config::pathValue(line);
    if (path.empty())
        path = defaultName;
    FileSystem& files = config.platform.files;
    if (!files.containsSeparator(path))
        path = files.joinPath(config.platform.program.programFolder(), path);
    return path;
}

// The file's drive must be there; a missing one is reported and reading goes on.
void checkDrive(ConfigContext& config, const std::string& path, const std::string& message) {
    if (!config.platform.files.entryExists(DriveRoot(path)))
        config.platform.messages.show(message, ProgramTitle);
}

bool applyInpf(ConfigContext& config, const std::string& line) {
    config.params.CommandFilePath = filePath(config, line, "SR_DATI.TXT");
    checkDrive(config, config.params.CommandFilePath, "Directory del file di Input non presente !");
    return true;
}

bool applyOutf(ConfigContext& config, const std::string& line) {
    config.params.ResultFilePath = filePath(config, line, "SR_OUT.TXT");
    checkDrive(config, config.params.ResultFilePath, "Directory del file di Output non presente !");
    return true;
}

struct Setting {
    const char* key;
    bool (*apply)(ConfigContext&, const std::string&);
};

// Tried in this order on every line.
constexpr std::array<Setting, 11> settings{{
    {"TIPO", applyTipo},
    {"IPAD", applyIpad},
    {"PORT", applyPort},
    {"PCOM", applyPcom},
    {"BAUD", applyBaud},
    {"STOP", applyStop},
    {"BITS", applyBits},
    {"PARI", applyPari},
    {"ECRI", applyEcri},
    {"INPF", applyInpf},
    {"OUTF", applyOutf},
}};

void applyLine(ConfigContext& config, const std::string& line) {
    for (const Setting& setting : settings) {
        if (config::hasKey(line, setting.key) && setting.apply(config, line))
            return;
    }
}

} // namespace

std::string EstrazioneParametriComunicazione(ConfigContext& config, std::string& path) {
    try {
        path = text::upperCase(text::trimLeft(path));
        if (!config.platform.files.fileExists(path))
            return "File di configurazione non trovato";

        PulisciEsito(config.frmMain);

        auto reader = config.platform.files.openForReading(path);
        while (auto line = reader->readLine()) {
            if (!config::isCommentLine(*line))
                applyLine(config, *line);
        }
        return "";
    } catch (const RunTimeError& error) {
        config.platform.messages.show("Error " + std::to_string(error.number()) + " (" +
                                          error.description() +
                                          ") in procedure EstrazioneParametriComunicazione "
                                          "of Modulo ModKvlIng",
                                      ProgramTitle);
        return "Error";
    }
}

std::string DriveRoot(std::string_view path) {
    const std::size_t marker = path.rfind(":\\");
    if (marker == std::string_view::npos)
        return "";
    return std::string(path.substr(0, marker + 1));
}

} // namespace kvl
