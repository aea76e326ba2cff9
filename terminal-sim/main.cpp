#include "ConsoleLog.h"
#include "Devices.h"
#include "FaultPlan.h"
#include "LinkSession.h"
#include "Options.h"
#include "Scenario.h"
#include "TcpListener.h"
#include "Terminal.h"
#include "TerminalEndpoint.h"

#include <asio.hpp>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace {

using namespace sim;

void complain(const std::string& text) {
    std::fprintf(stderr, "terminal-sim: %s\n", text.c_str());
}

// The scenario of the file named, or nullopt after saying what is wrong.
std::optional<Scenario> loadScenario(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        complain("cannot read the scenario " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    const ScenarioReading reading = readScenario(text);
    if (reading.errors.empty())
        return reading.scenario;
    const std::size_t shown = reading.errors.size() < 20 ? reading.errors.size() : 20;
    for (std::size_t i = 0; i < shown; ++i)
        complain(path + ": " + reading.errors[i]);
    return std::nullopt;
}

asio::ip::tcp::endpoint tcpEndpoint(asio::io_context& io, const std::string& host,
                                    unsigned short port) {
    asio::error_code error;
    const asio::ip::address literal = asio::ip::make_address(host, error);
    if (!error)
        return {literal, port};
    asio::ip::tcp::resolver resolver(io);
    const auto results = resolver.resolve(asio::ip::tcp::v4(), host, std::to_string(port));
    return results.begin()->endpoint();
}

std::string addressText(const asio::ip::tcp::endpoint& where) {
    const std::string address = where.address().to_string();
    return (where.address().is_v6() ? "[" + address + "]" : address) + ":" +
           std::to_string(where.port());
}

using DeviceSession = LinkSession<asio::posix::stream_descriptor>;

// The requests run whose answers never reached the library, as far as the
// terminal knows: their outcome is unverified at the cash desk.
void logUnverified(const RequestMemory& memory, ExchangeLog& log) {
    for (const auto& [id, entry] : memory.undelivered()) {
        ExchangeRecord record;
        record.operation = operationName(entry->operation);
        record.id = iae17::protocol::idText(id);
        record.amount = entry->amount;
        record.stan = entry->stan;
        record.result = "unverified";
        record.fault = entry->fault;
        record.end = "answer-not-acknowledged";
        log.record(record);
    }
}

void serveDevice(asio::io_context& io, int fd, const EndpointFactory& makeEndpoint) {
    auto session = std::make_shared<DeviceSession>(
        asio::posix::stream_descriptor(io, fd), makeEndpoint(), DeviceSession::Mode::Line,
        std::function<void()>(), [fd] { flushLine(fd); });
    session->start();
}

} // namespace

int main(int argc, char** argv) {
    const OptionsReading reading = readOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!reading.error.empty()) {
        complain(reading.error + " (see terminal-sim --help)");
        return 2;
    }
    const Options& options = reading.options;
    if (options.help) {
        std::fputs(helpText().c_str(), stdout);
        return 0;
    }
    std::signal(SIGPIPE, SIG_IGN);

    Scenario scenario;
    if (options.scenarioPath) {
        const std::optional<Scenario> loaded = loadScenario(*options.scenarioPath);
        if (!loaded)
            return 2;
        scenario = *loaded;
    }
    Terminal terminal(options.terminal);
    FaultPlan plan(options.defaults, scenario);
    for (const Operation operation : options.unsupported)
        plan.setUnsupported(operation);
    ConsoleLog log;
    RequestMemory memory;
    Availability availability;
    const TerminalParts parts{terminal, plan, memory, availability, log};
    EndpointSettings network;
    network.ackTimeout = std::chrono::milliseconds(options.ackTimeoutMs);
    EndpointSettings line = network;
    line.baud = options.baud;
    const EndpointFactory makeTcpEndpoint = [&] {
        return std::make_unique<TerminalEndpoint>(parts, network);
    };
    const EndpointFactory makeLineEndpoint = [&] {
        return std::make_unique<TerminalEndpoint>(parts, line);
    };

    asio::io_context io;
    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&io](const asio::error_code&, int) { io.stop(); });

    std::unique_ptr<TcpListener> tcp;
    try {
        if (options.tcpHost) {
            tcp = std::make_unique<TcpListener>(io,
                                                tcpEndpoint(io, *options.tcpHost, options.tcpPort),
                                                makeTcpEndpoint, availability, log);
            tcp->start();
            printLine("listening tcp " + addressText(tcp->local()));
        }
        if (options.pty) {
            const PseudoTerminal pty = openPseudoTerminal(options.baud);
            serveDevice(io, pty.masterFd, makeLineEndpoint);
            printLine("pty " + pty.slavePath);
        }
        if (options.serialPath) {
            serveDevice(io, openSerialDevice(*options.serialPath, options.baud), makeLineEndpoint);
            printLine("serial " + *options.serialPath);
        }
    } catch (const std::exception& failure) {
        complain(failure.what());
        return 1;
    }

    io.run();
    logUnverified(memory, log);
    return 0;
}
