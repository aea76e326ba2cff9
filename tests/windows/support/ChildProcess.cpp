// Child processes on Windows: CreateProcessA with standard output and error
// captured to files that the test reads while the child writes them.

#include "support/ChildProcess.h"

#include <windows.h>

#include <csignal>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace kvl::test {

namespace {

constexpr int Kill = 9;
const char* const EventLoopWindowClass = "KvlTalvioPosEvents";

// One argument as the C runtime splits a command line back into arguments;
// the tests pass none that needs a quote or a backslash escaped.
std::string quoted(const std::string& argument) {
    if (argument.find('"') != std::string::npos || (!argument.empty() && argument.back() == '\\'))
        throw std::logic_error("an argument the tests do not quote: " + argument);
    const bool spaced = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    return spaced ? '"' + argument + '"' : argument;
}

// The overrides, then the test's own environment without the names they
// override (a name may begin with '='), as CreateProcessA takes it.
std::string environmentBlock(const std::map<std::string, std::string>& overrides) {
    std::string block;
    for (const auto& [name, value] : overrides)
        block += name + "=" + value + '\0';
    char* const strings = ::GetEnvironmentStringsA();
    for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1)
        if (!overrides.count(std::string(entry, std::strcspn(entry + 1, "=") + 1)))
            block += std::string(entry) + '\0';
    ::FreeEnvironmentStringsA(strings);
    return block + '\0';
}

HANDLE inheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The event loop window of the process, if it has one yet.
HWND eventLoopWindow(DWORD processId) {
    for (HWND window = nullptr;;) {
        window = ::FindWindowExA(HWND_MESSAGE, window, EventLoopWindowClass, nullptr);
        if (!window)
            return nullptr;
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::string& workingFolder, bool closedErrorPipe) {
    std::string commandLine = quoted(program);
    for (const std::string& argument : arguments)
        commandLine += " " + quoted(argument);
    if (closedErrorPipe) // which no test on Windows asks for
        throw std::logic_error("no closed error pipe on Windows");
    HANDLE in = inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = inheritable(captures_.file("out"), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = inheritable(captures_.file("err"), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::string block = environmentBlock(environment);
    const BOOL started = ::CreateProcessA(
        program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, &block[0],
        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
    const DWORD error = ::GetLastError();
    for (HANDLE handle : {in, out, err})
        ::CloseHandle(handle);
    if (!started)
        throw std::runtime_error("cannot start " + program + ": error " + std::to_string(error));
    ::CloseHandle(process.hThread);
    process_ = process.hProcess;
    pid_ = static_cast<int>(process.dwProcessId);
}

ChildProcess::~ChildProcess() {
    if (running()) {
        signal(Kill);
        wait(std::chrono::milliseconds(2000));
    }
    ::CloseHandle(static_cast<HANDLE>(process_));
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (status_)
        return status_;
    const auto milliseconds = timeout.count() < 0 ? 0 : timeout.count();
    if (::WaitForSingleObject(static_cast<HANDLE>(process_), static_cast<DWORD>(milliseconds)) ==
        WAIT_OBJECT_0) {
        DWORD code = 0;
        ::GetExitCodeProcess(static_cast<HANDLE>(process_), &code);
        status_ = static_cast<int>(code);
    }
    return status_;
}

bool ChildProcess::running() {
    return !wait(std::chrono::milliseconds(0)).has_value();
}

void ChildProcess::signal(int signalNumber) {
    if (status_)
        return;
    if (signalNumber == Kill) {
        ::TerminateProcess(static_cast<HANDLE>(process_), 128 + Kill);
        return;
    }
    // The close request, once the program's event loop is there to take it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    HWND window = nullptr;
    while (!(window = eventLoopWindow(static_cast<DWORD>(pid_))) && running() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (window)
        ::PostMessageA(window, WM_CLOSE, 0, 0);
}

} // namespace kvl::test
