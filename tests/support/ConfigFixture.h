#pragma once

#include "Program.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"

#include <string>
#include <vector>

namespace kvl::test {

// A Program on fake services whose program folder exists and holds the
// configuration and parameter files of a test, as real files in a temporary
// folder.
class ConfigFixture {
public:
    ConfigFixture() { fake.files.addDirectory(folder()); }
    ConfigFixture(const ConfigFixture&) = delete;
    ConfigFixture& operator=(const ConfigFixture&) = delete;

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

    FakePlatform fake;
    Platform& platform = fake.platform();
    FakeTerminalLibrary library;
    Program program{platform, library};
};

} // namespace kvl::test
