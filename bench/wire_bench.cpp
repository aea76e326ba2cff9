// The terminal library's wire against its baselines, each measured in rounds
// interleaved with its baseline so that both see the same machine:
//   tcp       one payment exchange with terminal-sim on 127.0.0.1, against a
//             raw loopback request and answer of the same sizes
//   serial    a payment command as the bridge sends it (status, then payment)
//             over a line relayed at 9600 and 19200 baud, against the time
//             the line needs for the bytes that carry information
//   crc       the table-driven CRC against a bit-at-a-time one
//   recovery  a payment whose connection drops after the ACK, against a
//             clean one: the time the library takes to find the answer
// Usage: wire_bench [tcp] [serial] [crc] [recovery]   (all by default)

#include "LineRelay.h"
#include "protocol/Frame.h"
#include "protocol/Records.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <set>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using iae17::protocol::posDataLayout;
using iae17::protocol::posRequestLayout;
using iae17::protocol::RecordLayout;

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The real libiae17.so, called as the bridge calls it.
class Library {
public:
    Library() {
        handle_ = ::dlopen(IAE17_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr)
            throw std::runtime_error(::dlerror());
        request_.assign(iae17::protocol::PosRequestSize, '\0');
        // Amount, cash desk, payment type, terminal, then blank texts.
        const std::string fields = "000001250"
                                   "00000001 "
                                   "1 "
                                   "00000001 ";
        request_.replace(0, fields.size(), fields);
        request_.replace(fields.size(), 175 - fields.size(), 175 - fields.size(), ' ');
        posData_.assign(iae17::protocol::PosDataSize, '\0');
    }
    void initEth(int port) {
        std::string image = "127.0.0.1       " + std::to_string(port);
        image.resize(22, ' ');
        entry<short (*)(char*)>("IAE17AX_InitEth")(image.data());
    }
    void initSerial(const char* baudCode) {
        std::string image = std::string("COM1  ") + baudCode + " 1 0 0 ";
        entry<short (*)(char*)>("IAE17AX_InitRS232")(image.data());
    }
    // Runs the operation; the bytes that carry information (each field
    // without its padding) in the request's images and the answer's POSDATA
    // are added to `information`.
    short run(const char* operation, std::size_t* information = nullptr) {
        const std::string given = posData_;
        const short result =
            entry<short (*)(char*, char*)>(operation)(request_.data(), posData_.data());
        if (information != nullptr)
            *information += significant(posRequestLayout(), request_) +
                            significant(posDataLayout(), given) +
                            significant(posDataLayout(), posData_);
        return result;
    }

private:
    template <class Function> Function entry(const char* name) {
        return reinterpret_cast<Function>(::dlsym(handle_, name));
    }
    static std::size_t significant(const RecordLayout& layout, const std::string& image) {
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < layout.count(); ++i) {
            const std::string_view field = layout.slice(image, i);
            const std::size_t last = field.find_last_not_of(std::string_view(" \0", 2));
            bytes += last == std::string_view::npos ? 0 : last + 1;
        }
        return bytes;
    }

    void* handle_ = nullptr;
    std::string request_;
    std::string posData_;
};

class Simulator : public kvl::test::ChildProcess {
public:
    explicit Simulator(const std::vector<std::string>& options)
        : ChildProcess(TERMINAL_SIM_PATH, options) {
        const auto ready = waitForLine("", 5s);
        if (!ready)
            throw std::runtime_error("terminal-sim did not start: " + errors());
        where = ready->substr(ready->find_last_of(" :") + 1);
    }
    std::string where;
};

// The sizes of the frames of one exchange, from the library's trace: what it
// sends before the answer, what it receives, what it sends after.
struct ExchangeSizes {
    std::size_t request = 0, reply = 0, lastAck = 0;
};

ExchangeSizes sizesFromTrace(const std::string& trace) {
    ExchangeSizes sizes;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(": ");
        if (colon == std::string::npos)
            continue;
        const std::size_t bytes = (line.size() - colon - 2 + 1) / 3;
        if (line.find(" send Payment") != std::string::npos)
            sizes.request += bytes;
        else if (line.find(" recv ") != std::string::npos)
            sizes.reply += bytes;
        else if (line.find(" send ACK") != std::string::npos)
            sizes.lastAck += bytes;
    }
    return sizes;
}

bool readAll(int fd, char* bytes, std::size_t size) {
    for (std::size_t got = 0; got < size;) {
        const ssize_t n = ::read(fd, bytes + got, size - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// A loopback peer that reads the request, writes the reply and reads the last
// ACK, on a connection of its own each time: the least an exchange can cost.
class RawPeer {
public:
    explicit RawPeer(ExchangeSizes sizes) : sizes_(sizes) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 8);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] {
            std::vector<char> bytes(sizes_.request + sizes_.reply + sizes_.lastAck, 'x');
            for (int fd; (fd = ::accept(listener_, nullptr, nullptr)) >= 0; ::close(fd)) {
                const int on = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                if (readAll(fd, bytes.data(), sizes_.request) &&
                    ::write(fd, bytes.data(), sizes_.reply) > 0)
                    readAll(fd, bytes.data(), sizes_.lastAck);
            }
        });
    }
    ~RawPeer() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    void exchange() const {
        std::vector<char> bytes(sizes_.request + sizes_.reply, 'x');
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        sockaddr_in address{AF_INET, htons(port_), {htonl(INADDR_LOOPBACK)}, {}};
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::write(fd, bytes.data(), sizes_.request) > 0 &&
            readAll(fd, bytes.data(), sizes_.reply))
            static_cast<void>(::write(fd, bytes.data(), sizes_.lastAck));
        ::close(fd);
    }

private:
    ExchangeSizes sizes_;
    int listener_ = -1;
    unsigned short port_ = 0;
    std::thread thread_;
};

void benchTcp() {
    Simulator simulator({"--tcp", "127.0.0.1:0"});
    Library library;
    library.initEth(std::stoi(simulator.where));
    kvl::test::TempFolder folder;
    ::setenv("IAE17_TRACE", folder.file("trace").c_str(), 1);
    library.run("IAE17AX_Payment");
    ::unsetenv("IAE17_TRACE");
    const ExchangeSizes sizes = sizesFromTrace(kvl::test::readFile(folder.file("trace")));
    RawPeer raw(sizes);
    // Each round's ratio is taken from that round alone, so that the load
    // other programs put on the machine weighs on both sides alike.
    std::vector<double> exchanges, baseline, ratios;
    for (int round = 0; round < 40; ++round) {
        // In blocks: right after an exchange the simulator is still logging
        // and closing, which would slow a raw exchange that followed at once.
        std::vector<double> ours, raws;
        for (int i = 0; i < 25; ++i) {
            const auto start = Clock::now();
            library.run("IAE17AX_Payment");
            ours.push_back(micros(Clock::now() - start));
        }
        std::this_thread::sleep_for(1ms);
        for (int i = 0; i < 25; ++i) {
            const auto start = Clock::now();
            raw.exchange();
            raws.push_back(micros(Clock::now() - start));
        }
        ratios.push_back(median(ours) / median(raws));
        exchanges.insert(exchanges.end(), ours.begin(), ours.end());
        baseline.insert(baseline.end(), raws.begin(), raws.end());
    }
    std::printf("tcp: request %zu B, reply %zu B, last ACK %zu B\n", sizes.request, sizes.reply,
                sizes.lastAck);
    std::printf("tcp: payment exchange median %.1f us, raw loopback %.1f us, ratio %.2fx "
                "(median of 40 interleaved rounds of 25 each)\n",
                median(exchanges), median(baseline), median(ratios));
}

void benchSerial() {
    struct Speed {
        unsigned baud;
        const char* code;
        std::vector<double> ratios, seconds;
        double information = 0;
    } speeds[] = {{9600, "4", {}, {}, 0}, {19200, "5", {}, {}, 0}};
    for (int round = 0; round < 3; ++round) {
        for (Speed& speed : speeds) {
            Simulator simulator({"--pty", "--baud", std::to_string(speed.baud)});
            iae17::test::LineRelay line(simulator.where, speed.baud);
            ::setenv("IAE17_COM1", line.path().c_str(), 1);
            Library library;
            library.initSerial(speed.code);
            // The resident service's steady state: the record holds the last answer.
            library.run("IAE17AX_Status");
            library.run("IAE17AX_Payment");
            std::size_t information = 0;
            const auto start = Clock::now();
            const short status = library.run("IAE17AX_Status", &information);
            const short payment = library.run("IAE17AX_Payment", &information);
            const double took = micros(Clock::now() - start) / 1e6;
            if (status != 0 || payment != 0)
                std::printf("serial: results %d %d\n", status, payment);
            const double lineTime = information * 10.0 / speed.baud;
            speed.seconds.push_back(took);
            speed.ratios.push_back(took / lineTime);
            speed.information = static_cast<double>(information);
        }
    }
    for (const Speed& speed : speeds) {
        std::printf("serial %u: status+payment median %.3f s, %0.f information bytes need %.3f s, "
                    "ratio %.2fx (3 rounds)\n",
                    speed.baud, median(speed.seconds), speed.information,
                    speed.information * 10.0 / speed.baud, median(speed.ratios));
    }
}

// Keeps the computed CRCs from being optimised away.
volatile std::uint16_t crcSink = 0;

std::uint16_t bitwiseCrc(std::string_view bytes) {
    std::uint16_t crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= static_cast<std::uint16_t>(static_cast<std::uint8_t>(c) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<std::uint16_t>(crc << 1);
    }
    return crc;
}

void benchCrc() {
    for (const std::size_t size : {std::size_t{4493}, std::size_t{330}}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 31 + 7);
        std::vector<double> table, bitwise, ratios;
        for (int round = 0; round < 40; ++round) {
            auto start = Clock::now();
            for (int i = 0; i < 200; ++i)
                crcSink = crcSink ^ iae17::protocol::crc16(bytes);
            table.push_back(micros(Clock::now() - start) / 200);
            start = Clock::now();
            for (int i = 0; i < 200; ++i)
                crcSink = crcSink ^ bitwiseCrc(bytes);
            bitwise.push_back(micros(Clock::now() - start) / 200);
            ratios.push_back(bitwise.back() / table.back());
        }
        std::printf("crc %zu B: table %.2f us, bit by bit %.2f us, %.1fx faster "
                    "(median of 40 interleaved rounds)\n",
                    size, median(table), median(bitwise), median(ratios));
    }
}

void benchRecovery() {
    Simulator clean({"--tcp", "127.0.0.1:0"});
    Simulator dropping({"--tcp", "127.0.0.1:0", "--drop", "after-ack"});
    Library library;
    std::vector<double> plain, recovered;
    for (int round = 0; round < 100; ++round) {
        library.initEth(std::stoi(clean.where));
        auto start = Clock::now();
        library.run("IAE17AX_Payment");
        plain.push_back(micros(Clock::now() - start));
        library.initEth(std::stoi(dropping.where));
        start = Clock::now();
        const short result = library.run("IAE17AX_Payment");
        recovered.push_back(micros(Clock::now() - start));
        if (result != 0)
            std::printf("recovery: result %d\n", result);
    }
    std::printf("recovery over tcp: dropped after the ACK %.1f us, clean %.1f us, the recovery "
                "%.1f us (100 interleaved pairs)\n",
                median(recovered), median(plain), median(recovered) - median(plain));
}

} // namespace

int main(int argc, char** argv) {
    std::set<std::string> chosen(argv + 1, argv + argc);
    const auto wanted = [&](const char* name) { return chosen.empty() || chosen.count(name); };
    if (wanted("crc"))
        benchCrc();
    if (wanted("tcp"))
        benchTcp();
    if (wanted("recovery"))
        benchRecovery();
    if (wanted("serial"))
        benchSerial();
    return 0;
}
