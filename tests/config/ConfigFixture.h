#pragma once

#include "config/ConfigContext.h"
#include "shell/forms/FrmWpos1Type.h"
#include "support/TerminalParts.h"

#include <string>
#include <vector>

namespace kvl::test {

// What the configuration procedures work on, on fake services whose program
// folder exists and holds the configuration and parameter files of a test.
class ConfigFixture : public TerminalParts {
public:
    ConfigFixture() { fake.files.addDirectory(folder()); }

    // The program folder and a name in it.
    const std::string& folder() const { return fake.program.folder; }
    std::string path(const std::string& name) const { return fake.files.joinPath(folder(), name); }

    // Files and folders under the program folder.
    void writeFile(const std::string& name, const std::string& bytes) {
        fake.files.addFile(path(name), bytes);
    }
    std::string readFile(const std::string& name) { return fake.files.content(path(name)); }
    void makeDirectory(const std::string& name) { fake.files.addDirectory(path(name)); }

    // The texts of the message boxes shown so far.
    std::vector<std::string> messageTexts() const { return fake.messages.texts(); }

    FrmWpos1Type frmWpos1Type;
    std::string DataFolder;
    bool parametersLoaded = false;
    ConfigContext config{fake.platform(), frmMain,    frmWpos1Type,    records,
                         params,          DataFolder, parametersLoaded};
};

} // namespace kvl::test
