#include "config/ParameterFile.h"

#include "platform/RunTimeError.h"

#include <array>
#include <optional>

namespace kvl {

namespace {

std::string parameterFilePath(ConfigContext& config) {
    return config.platform.files.joinPath(config.platform.program.programFolder(),
                                          "ParamTlvPos.TXT");
}

std::string defaultConfigFile(ConfigContext& config) {
    return config.platform.files.joinPath(config.platform.program.programFolder(),
                                          "ConfigTlvPos.TXT");
}

std::string defaultLogFile(ConfigContext& config) {
    return config.platform.files.joinPath(config.platform.program.programFolder(), "LogTlvPos.TXT");
}

using ParameterLines = std::array<std::optional<std::string>, 3>;

// The three lines as far as they could be read: a line past the end of the
// file is nullopt; a file that cannot be opened, or a line that cannot be
// read, gives empty lines from there on. False when a file that is there
// could not be read whole.
bool readParameterLines(ConfigContext& config, ParameterLines& lines) {
    const std::string path = parameterFilePath(config);
    std::size_t next = 0;
    try {
        auto reader = config.platform.files.openForReading(path);
        for (; next < lines.size(); ++next)
            lines[next] = reader->readLine();
        return true;
    } catch (const RunTimeError&) {
        for (; next < lines.size(); ++next)
            lines[next] = std::string();
    }
    bool missing = false;
    try {
        missing = !config.platform.files.entryExists(path);
    } catch (const RunTimeError&) {
    }
    return missing;
}

} // namespace

void LoadParameters(ConfigContext& config) {
    auto& form = config.frmWpos1Type;
    ParameterLines lines;
    const bool read = readParameterLines(config, lines);
    if (lines[0])
        form.chkEnableLog.setValue(*lines[0] == "1" ? 1 : 0);
    if (lines[1])
        form.txtConfFile.setText(lines[1]->empty() ? defaultConfigFile(config) : *lines[1]);
    if (lines[2])
        form.txtLogFileName.setText(lines[2]->empty() ? defaultLogFile(config) : *lines[2]);
    // A file that is there but could not be read keeps the operator's
    // settings: the defaults given instead are never saved over it.
    config.parametersLoaded = read;
}

void SaveParameters(ConfigContext& config) {
    if (!config.parametersLoaded)
        return;
    auto& form = config.frmWpos1Type;
    const std::string& configFile = form.txtConfFile.text();
    const std::string& log = form.txtLogFileName.text();
    const std::string bytes = std::string(form.chkEnableLog.value() == 1 ? "1" : "0") + "\r\n" +
                              (configFile.empty() ? defaultConfigFile(config) : configFile) +
                              "\r\n" + (log.empty() ? defaultLogFile(config) : log) + "\r\n";
    try {
        config.platform.files.writeWhole(parameterFilePath(config), bytes);
    } catch (const RunTimeError&) {
        // An unwritable parameter file is not reported; the old one stays.
    }
}

} // namespace kvl
