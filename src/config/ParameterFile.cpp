#include "config/ParameterFile.h"

#include "platform/RunTimeError.h"

#include <array>
#include <optional>

namespace kvl {

namespace {

std::string parameterFilePath(Program& program) {
    return joinPath(program.platform.program.programFolder(), "ParamTlvPos.TXT");
}

std::string defaultConfigFile(Program& program) {
    return joinPath(program.platform.program.programFolder(), "ConfigTlvPos.TXT");
}

std::string defaultLogFile(Program& program) {
    return joinPath(program.platform.program.programFolder(), "LogTlvPos.TXT");
}

using ParameterLines = std::array<std::optional<std::string>, 3>;

// The three lines as far as they could be read: a line past the end of the
// file is nullopt; a file that cannot be opened, or a line that cannot be
// read, gives empty lines from there on. False when a file that is there
// could not be read whole.
bool readParameterLines(Program& program, ParameterLines& lines) {
    const std::string path = parameterFilePath(program);
    std::size_t next = 0;
    try {
        auto reader = program.platform.files.openForReading(path);
        for (; next < lines.size(); ++next)
            lines[next] = reader->readLine();
        return true;
    } catch (const RunTimeError&) {
        for (; next < lines.size(); ++next)
            lines[next] = std::string();
    }
    bool missing = false;
    try {
        missing = !program.platform.files.entryExists(path);
    } catch (const RunTimeError&) {
    }
    return missing;
}

} // namespace

bool LoadParameters(Program& program) {
    auto& form = program.frmWpos1Type;
    ParameterLines lines;
    const bool read = readParameterLines(program, lines);
    if (lines[0])
        form.chkEnableLog.setValue(*lines[0] == "1" ? 1 : 0);
    if (lines[1])
        form.txtConfFile.setText(lines[1]->empty() ? defaultConfigFile(program) : *lines[1]);
    if (lines[2])
        form.txtLogFileName.setText(lines[2]->empty() ? defaultLogFile(program) : *lines[2]);
    return read;
}

void SaveParameters(Program& program) {
    auto& form = program.frmWpos1Type;
    const std::string& config = form.txtConfFile.text();
    const std::string& log = form.txtLogFileName.text();
    const std::string bytes = std::string(form.chkEnableLog.value() == 1 ? "1" : "0") + "\r\n" +
                              (config.empty() ? defaultConfigFile(program) : config) + "\r\n" +
                              (log.empty() ? defaultLogFile(program) : log) + "\r\n";
    try {
        program.platform.files.writeWhole(parameterFilePath(program), bytes);
    } catch (const RunTimeError&) {
        // An unwritable parameter file is not reported; the old one stays.
    }
}

} // namespace kvl
