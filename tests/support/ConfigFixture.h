#pragma once

#include "Program.h"
#include "platform/PosixFileSystem.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"
#include "support/TempFolder.h"

#include <string>
#include <vector>

namespace kvl::test {

// A Program whose program folder holds the configuration and parameter files
// of a test: by default a temporary folder on the real file system, or, for
// tests that make the file system fail on purpose, a folder of the in-memory
// fake. Message boxes, system facts and the other services are fakes.
class ConfigFixture {
public:
    enum class Files { Real, Fake };

    explicit ConfigFixture(Files files = Files::Real);
    ConfigFixture(const ConfigFixture&) = delete;
    ConfigFixture& operator=(const ConfigFixture&) = delete;

    // The program folder and a name in it.
    const std::string& folder() const;
    std::string path(const std::string& name) const;

    // Files and folders under the program folder.
    void writeFile(const std::string& name, const std::string& bytes);
    std::string readFile(const std::string& name);
    void makeDirectory(const std::string& name);

    // The texts of the message boxes shown so far.
    std::vector<std::string> messageTexts() const { return fake.messages.texts(); }

private:
    Files kind_;

public:
    FakePlatform fake;
    TempFolder temp;
    PosixFileSystem realFiles;
    Platform platform;
    FakeTerminalLibrary library;
    Program program;
};

} // namespace kvl::test
