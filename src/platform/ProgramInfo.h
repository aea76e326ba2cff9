#pragma once

#include <string>

namespace kvl {

// Where the program runs from and how it was started.
class ProgramInfo {
public:
    virtual ~ProgramInfo() = default;
    // Folder of the running executable, without a trailing separator.
    virtual std::string programFolder() = 0;
    // The whole argument text after the program's own name, as one string.
    virtual std::string commandLine() = 0;
};

// Guards against a second running instance for the same user and program folder.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // True when another instance holds the guard; otherwise takes it for the
    // life of this process.
    virtual bool anotherInstanceRunning() = 0;
};

// Operating-system facts the program asks for.
class SystemInfo {
public:
    struct Version {
        unsigned major = 0, minor = 0, build = 0, platformId = 0;
    };
    virtual ~SystemInfo() = default;
    virtual Version osVersion() = 0;
    // The common application-data folder (created when missing), or empty text
    // when it cannot be obtained.
    virtual std::string commonAppDataFolder() = 0;
};

// Opens a document with the program associated with its type; does not wait.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    virtual void open(const std::string& path) = 0;
};

} // namespace kvl
