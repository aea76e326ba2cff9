#pragma once

#include "app/Program.h"
#include "app/StartupForm.h"
#include "support/FakeModalForms.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kvl::test {

const std::string Ethernet = "TIPO: ETH\r\nIPAD: 192.168.1.50\r\nPORT: 9000\r\n";
const std::string Command = "/io/SR_DATI.TXT";
const std::string Result = "/io/SR_OUT.TXT";
const std::string JournalFile = "/opt/kvl/JournalTlvPos.TXT";

// A Program on fake services: program folder /opt/kvl, I/O folder /io.
struct App {
    App() {
        using Operation = FakeFileSystem::Operation;
        fake.files.beforeOperation = [this](Operation operation, const std::string& path) {
            if (operation == Operation::Open || operation == Operation::Delete)
                note((operation == Operation::Open ? "open " : "delete ") +
                     path.substr(path.rfind('/') + 1));
        };
        fake.files.addDirectory("/io");
        fake.files.addDirectory("/opt/kvl");
    }

    void writeConfig() {
        fake.files.addFile("/opt/kvl/ConfigTlvPos.TXT",
                           Ethernet + "INPF: " + Command + "\r\nOUTF: " + Result + "\r\n");
    }

    // Library calls (without "IAE17AX_"), file openings and deletions in order.
    std::vector<std::string> journal() {
        note({});
        return journal_;
    }

    long long slept() const {
        const auto& sleeps = fake.events.sleeps();
        return std::accumulate(sleeps.begin(), sleeps.end(), std::chrono::milliseconds(0)).count();
    }

    // Runs a step that may end the program: the status it ended with, or -1.
    template <class Step> int endStatus(Step&& step) {
        step();
        return fake.events.quitStatus().value_or(-1);
    }

    int start(const std::string& commandLine) {
        writeConfig();
        fake.program.arguments = commandLine;
        return endStatus([&] { frmMain_Load(program); });
    }

    FakePlatform fake;
    FakeTerminalLibrary library;
    FakeModalForms modal;
    Program program{fake.platform(), library, modal};

private:
    // A call is recorded when it returns: those not yet noted came before.
    void note(const std::string& event) {
        const std::vector<std::string> calls = library.entryPoints();
        for (; librarySeen_ < calls.size(); ++librarySeen_)
            journal_.push_back(calls[librarySeen_].substr(8));
        if (!event.empty())
            journal_.push_back(event);
    }

    std::vector<std::string> journal_;
    std::size_t librarySeen_ = 0;
};

class AppTest : public ::testing::Test, public App {};

} // namespace kvl::test
