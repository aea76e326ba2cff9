#pragma once

#include "Program.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace kvl::test {

// Forwards to the scripted library and notes each entry point in a journal.
class JournalLibrary : public TerminalLibrary {
public:
    JournalLibrary(FakeTerminalLibrary& fake, std::vector<std::string>& journal)
        : fake_(fake), journal_(journal) {}
    void IAE17AX_GetVersion(VersionBuffer& version) override {
        journal_.push_back("GetVersion");
        fake_.IAE17AX_GetVersion(version);
    }
    void IAE17AX_Free() override {
        journal_.push_back("Free");
        fake_.IAE17AX_Free();
    }
    short IAE17AX_InitEth(EthInitRecord& record) override {
        journal_.push_back("InitEth");
        return fake_.IAE17AX_InitEth(record);
    }
    short IAE17AX_InitRS232(Rs232InitRecord& record) override {
        journal_.push_back("InitRS232");
        return fake_.IAE17AX_InitRS232(record);
    }
    short call(Operation operation, PosRequest& request, POSDATA& answer) override {
        journal_.push_back(entryPointName(operation));
        return fake_.call(operation, request, answer);
    }

private:
    FakeTerminalLibrary& fake_;
    std::vector<std::string>& journal_;
};

// Forwards to the fake tray and notes whether polling had started by then.
class JournalTray : public TrayIcon {
public:
    JournalTray(FakePlatform& fake, std::vector<std::string>& journal)
        : fake_(fake), journal_(journal) {}
    void add(const NotifyIconData& data) override {
        journal_.push_back(fake_.events.activeTimers().empty() ? "tray add" : "tray add, polling");
        fake_.tray.add(data);
    }
    void remove(const NotifyIconData& data) override {
        journal_.push_back("tray remove");
        fake_.tray.remove(data);
    }

private:
    FakePlatform& fake_;
    std::vector<std::string>& journal_;
};

// A Program on fake services, its program folder /opt/kvl, with a journal of
// library calls, file openings and deletions, and tray changes in order.
class AppTest : public ::testing::Test {
protected:
    AppTest() {
        fake.files.beforeOperation = [this](FakeFileSystem::Operation operation,
                                            const std::string& path) {
            const std::string name = path.substr(path.rfind('/') + 1);
            if (operation == FakeFileSystem::Operation::Open)
                journal.push_back("open " + name);
            if (operation == FakeFileSystem::Operation::Delete)
                journal.push_back("delete " + name);
        };
        fake.files.addDirectory("/io");
    }

    // The configuration file the start-up reads when no parameter file names
    // another one.
    void writeConfig(const std::string& settings) {
        fake.files.addFile("/opt/kvl/ConfigTlvPos.TXT",
                           settings + "INPF: /io/SR_DATI.TXT\r\nOUTF: /io/SR_OUT.TXT\r\n");
    }
    static std::string ethernet() { return "TIPO: ETH\r\nIPAD: 192.168.1.50\r\nPORT: 9000\r\n"; }

    // Milliseconds slept since the test began.
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

    std::vector<std::string> journal;
    FakePlatform fake;
    FakeTerminalLibrary library;
    JournalLibrary journalLibrary{library, journal};
    JournalTray tray{fake, journal};
    Platform platform{fake.files,    fake.messages, fake.events,    fake.clock,     fake.program,
                      fake.instance, fake.system,   fake.documents, fake.libraries, tray};
    Program program{platform, journalLibrary};
};

} // namespace kvl::test
