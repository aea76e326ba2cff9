#pragma once

#include "console/form/FrmMain.h"
#include "platform/Platform.h"
#include "shell/forms/FrmWpos1Type.h"
#include "terminal/CommunicationParameters.h"
#include "terminal/Records.h"

#include <string>

namespace kvl {

// What the configuration procedures work on: the platform's files, folders
// and message boxes, the console's connection fields, the resident window's
// settings, the records and parameters the configuration fills, DataFolder,
// and whether the parameter file has been read.
struct ConfigContext {
    Platform& platform;
    FrmMain& frmMain;
    FrmWpos1Type& frmWpos1Type;
    TerminalRecords& records;
    CommunicationParameters& params;
    std::string& DataFolder;
    bool& parametersLoaded;
};

} // namespace kvl
