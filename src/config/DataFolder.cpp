#include "config/DataFolder.h"

#include "platform/RunTimeError.h"
#include "platform/Text.h"

namespace kvl {

namespace {
constexpr unsigned ntPlatform = 2;
} // namespace

bool IsOS_Vista(ConfigContext& config) {
    try {
        const SystemInfo::Version version = config.platform.system.osVersion();
        return version.platformId == ntPlatform && version.major == 6;
    } catch (const RunTimeError&) {
        return false;
    }
}

std::string Read_CSIDL_COMMON_APPDATA(ConfigContext& config) {
    std::string folder;
    try {
        folder = text::upToNul(config.platform.system.commonAppDataFolder());
    } catch (const RunTimeError&) {
        folder.clear();
    }
    if (folder.empty())
        config.platform.messages.show("Path non disponibile", ProgramTitle);
    return folder;
}

bool SettleDataFolder(ConfigContext& config) {
    const std::string programFolder = config.platform.program.programFolder();
    if (!IsOS_Vista(config)) {
        config.DataFolder = programFolder;
        return true;
    }
    const std::string common = Read_CSIDL_COMMON_APPDATA(config);
    config.DataFolder =
        common.empty() ? programFolder : config.platform.files.joinPath(common, "KvlTalvioPos");

    bool exists = false;
    try {
        exists = config.platform.files.isDirectory(config.DataFolder);
    } catch (const RunTimeError&) {
        exists = false;
    }
    if (!exists) {
        config.platform.messages.show(config.DataFolder + " : DIR NON ESISTENTE", ProgramTitle);
        return false;
    }
    return true;
}

} // namespace kvl
