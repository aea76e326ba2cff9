#pragma once

#include "config/ConfigContext.h"
#include "console/form/FrmMain.h"
#include "controls/ModalForms.h"
#include "platform/Platform.h"
#include "shell/forms/FrmAbout.h"
#include "shell/forms/FrmWpos1Type.h"

namespace kvl {

// What the resident window's procedures work on: the platform, the modal
// forms' host, the three forms (the console form's unload ends the program)
// and the configuration's parts for the parameter file, the configuration
// file and the data folder.
struct ShellContext {
    Platform& platform;
    ModalForms& modal;
    FrmWpos1Type& frmWpos1Type;
    FrmMain& frmMain;
    FrmAbout& frmAbout;
    ConfigContext config;

    // m_esci is waiting before its close request.
    bool exitWaiting = false;
};

} // namespace kvl
