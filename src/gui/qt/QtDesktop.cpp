#include "gui/qt/QtDesktop.h"

#include "console/form/FrmMain.h"
#include "gui/qt/FormWindow.h"
#include "gui/qt/QtDocumentOpener.h"
#include "gui/qt/QtEventLoop.h"
#include "gui/qt/QtMessageBoxes.h"
#include "gui/qt/QtModalForms.h"
#include "gui/qt/QtTrayIcon.h"
#include "shell/forms/FrmAbout.h"
#include "shell/forms/FrmWpos1Type.h"

#include <QApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace kvl::qt {

bool displayWanted() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    const char* headless = std::getenv("KVL_HEADLESS");
    if (headless && std::string(headless) == "1")
        return false;
    if (set("WAYLAND_DISPLAY"))
        return true;
    if (!set("DISPLAY"))
        return false;
    // Qt aborts on a display it cannot open (a session that went, a service
    // that inherited DISPLAY): the program runs headless instead.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reachable)
        std::cerr << ProgramTitle << ": Display " << std::getenv("DISPLAY")
                  << " non disponibile: il programma prosegue senza finestre" << std::endl;
    return reachable;
}

struct QtDesktop::Parts {
    Parts(int& argc, char** argv) : application(argc, argv), tray(events) {}

    QApplication application;
    QtEventLoop events;
    QtMessageBoxes messages{std::cerr};
    QtTrayIcon tray;
    QtDocumentOpener documents;
    std::unique_ptr<FormWindow> resident;
    std::unique_ptr<FormWindow> console;
    std::unique_ptr<FormWindow> about;
    QtModalForms modal{[this](Form& form) -> FormWindow* {
        for (FormWindow* window : {resident.get(), console.get(), about.get()})
            if (window && &window->form() == &form)
                return window;
        return nullptr;
    }};
};

QtDesktop::QtDesktop(int& argc, char** argv) : parts_(std::make_unique<Parts>(argc, argv)) {
    QApplication::setApplicationName(QStringLiteral("KvlTalvioPos"));
    useFormFont();
    // Nobody is there to answer a box when the system ends the program.
    parts_->events.beforeSystemClose([this] { parts_->messages.answerUnattended(); });
}

QtDesktop::~QtDesktop() = default;

Platform QtDesktop::platform(const Platform& base) {
    return Platform{base.files,     parts_->messages, parts_->events, base.clock,
                    base.program,   base.instance,    base.system,    parts_->documents,
                    base.libraries, parts_->tray};
}

ModalForms& QtDesktop::modal() {
    return parts_->modal;
}

std::unique_ptr<QtDesktop::Windows>
QtDesktop::showForms(FrmMain& frmMain, FrmWpos1Type& frmWpos1Type, FrmAbout& frmAbout) {
    Parts& parts = *parts_;
    parts.resident = std::make_unique<FormWindow>(frmWpos1Type, residentStyle(), parts.events);
    parts.console = std::make_unique<FormWindow>(frmMain, consoleStyle(frmMain), parts.events);
    // The About box belongs to the resident window.
    parts.about =
        std::make_unique<FormWindow>(frmAbout, aboutStyle(), parts.events, parts.resident.get());
    return std::make_unique<Windows>(*this);
}

QtDesktop::Windows::~Windows() {
    Parts& parts = *desktop_.parts_;
    parts.about.reset();
    parts.console.reset();
    parts.resident.reset();
}

} // namespace kvl::qt
