#pragma once

#include "Program.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl::test {

// A Program on fake services, its program folder /opt/kvl.
class AppTest : public ::testing::Test {
protected:
    AppTest() {
        fake.files.beforeOperation = [this](FakeFileSystem::Operation operation,
                                            const std::string& path) {
            const std::string name = path.substr(path.rfind('/') + 1);
            if (operation == FakeFileSystem::Operation::Open)
                note("open " + name);
            if (operation == FakeFileSystem::Operation::Delete)
                note("delete " + name);
        };
        fake.files.addDirectory("/io");
    }

    // Library calls, file openings and deletions in the order they happened.
    std::vector<std::string> journal() {
        note({});
        return journal_;
    }

    // The configuration file the start-up reads when no parameter file names
    // another one.
    void writeConfig(const std::string& settings) {
        fake.files.addFile("/opt/kvl/ConfigTlvPos.TXT",
                           settings + "INPF: /io/SR_DATI.TXT\r\nOUTF: /io/SR_OUT.TXT\r\n");
    }
    static std::string ethernet() { return "TIPO: ETH\r\nIPAD: 192.168.1.50\r\nPORT: 9000\r\n"; }

    long long slept() const {
        long long total = 0;
        for (auto duration : fake.events.sleeps())
            total += duration.count();
        return total;
    }
    std::size_t sleepsOf(long long milliseconds) const {
        std::size_t count = 0;
        for (auto duration : fake.events.sleeps())
            count += duration.count() == milliseconds ? 1 : 0;
        return count;
    }

    FakePlatform fake;
    FakeTerminalLibrary library;
    Program program{fake.platform(), library};

private:
    // A library call is recorded when it returns, so the calls not yet noted
    // came before this event.
    void note(const std::string& event) {
        const std::vector<std::string> calls = library.entryPoints();
        for (; librarySeen_ < calls.size(); ++librarySeen_)
            journal_.push_back(calls[librarySeen_].substr(8)); // without "IAE17AX_"
        if (!event.empty())
            journal_.push_back(event);
    }

    std::vector<std::string> journal_;
    std::size_t librarySeen_ = 0;
};

} // namespace kvl::test
