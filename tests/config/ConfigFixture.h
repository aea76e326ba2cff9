#pragma once

#include "config/ConfigContext.h"
#include "shell/forms/FrmWpos1Type.h"
#include "support/TerminalParts.h"

namespace kvl::test {

// The configuration procedures' context on fake services; the program folder exists.
class ConfigFixture : public TerminalParts {
public:
    ConfigFixture() { fake.files.addDirectory(folder()); }

    const std::string& folder() const { return fake.program.folder; }
    std::string path(const std::string& name) const { return fake.files.joinPath(folder(), name); }
    void writeFile(const std::string& name, const std::string& bytes) {
        fake.files.addFile(path(name), bytes);
    }
    std::string readFile(const std::string& name) { return fake.files.content(path(name)); }
    std::vector<std::string> messageTexts() const { return fake.messages.texts(); }

    FrmWpos1Type frmWpos1Type;
    std::string DataFolder;
    bool parametersLoaded = false;
    ConfigContext config{fake.platform(), frmMain,    frmWpos1Type,    records,
                         params,          DataFolder, parametersLoaded};
};

} // namespace kvl::test
