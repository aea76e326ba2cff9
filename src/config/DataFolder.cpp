#include "config/ParameterFile.h"

#include "platform/RunTimeError.h"
#include "platform/Text.h"

namespace kvl {

namespace {
constexpr unsigned ntPlatform = 2;
} // namespace

bool IsOS_Vista(Program& program) {
    try {
        const SystemInfo::Version version = program.platform.system.osVersion();
        return version.platformId == ntPlatform && version.major == 6;
    } catch (const RunTimeError&) {
        return false;
    }
}

std::string Read_CSIDL_COMMON_APPDATA(Program& program) {
    std::string folder;
    try {
        folder = text::upToNul(program.platform.system.commonAppDataFolder());
    } catch (const RunTimeError&) {
        folder.clear();
    }
    if (folder.empty())
        program.platform.messages.show("Path non disponibile", ProgramTitle);
    return folder;
}

bool SettleDataFolder(Program& program) {
    const std::string programFolder = program.platform.program.programFolder();
    if (!IsOS_Vista(program)) {
        program.DataFolder = programFolder;
        return true;
    }
    const std::string common = Read_CSIDL_COMMON_APPDATA(program);
    program.DataFolder =
        common.empty() ? programFolder : program.platform.files.joinPath(common, "KvlTalvioPos");

    bool exists = false;
    try {
        exists = program.platform.files.isDirectory(program.DataFolder);
    } catch (const RunTimeError&) {
        exists = false;
    }
    if (!exists) {
        program.platform.messages.show(program.DataFolder + " : DIR NON ESISTENTE", ProgramTitle);
        return false;
    }
    return true;
}

} // namespace kvl
