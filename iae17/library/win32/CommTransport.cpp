// A serial line to the terminal on Windows: the COM port opened with
// CreateFileA and set with a DCB to exactly the record's settings; every read
// and write bounded by the port's own time-outs.

#include "library/Transports.h"

#include <windows.h>

#include <string>

namespace iae17 {

namespace {

class CommTransport : public Transport {
public:
    CommTransport(HANDLE port, const LineSettings& line) : port_(port), line_(line) {}
    ~CommTransport() override { ::CloseHandle(port_); }
    CommTransport(const CommTransport&) = delete;
    CommTransport& operator=(const CommTransport&) = delete;

    TransportStatus write(const std::string& bytes, Milliseconds timeout) override;
    TransportStatus read(std::string& into, Milliseconds timeout) override;
    // The time comes from the line settings alone, as on every system.
    Milliseconds lineTime(std::size_t bytes) const override {
        return iae17::lineTime(line_, bytes);
    }

private:
    bool setTimeouts(DWORD readConstant, DWORD writeConstant);

    HANDLE port_;
    LineSettings line_;
    char buffer_[4096];
};

DWORD millisecondsOf(Milliseconds timeout) {
    const long long count = timeout.count();
    // 0 would mean "no time-out" to the port.
    return count < 1 ? 1 : count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(count);
}

bool CommTransport::setTimeouts(DWORD readConstant, DWORD writeConstant) {
    COMMTIMEOUTS timeouts{};
    // These three together: a read returns as soon as a byte has come, or
    // with nothing once the constant has passed.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = readConstant;
    timeouts.WriteTotalTimeoutConstant = writeConstant;
    return ::SetCommTimeouts(port_, &timeouts) != 0;
}

TransportStatus CommTransport::write(const std::string& bytes, Milliseconds timeout) {
    if (!setTimeouts(1, millisecondsOf(timeout + lineTime(bytes.size()))))
        return TransportStatus::Failed;
    DWORD written = 0;
    if (!::WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return TransportStatus::Failed;
    return written == bytes.size() ? TransportStatus::Ok : TransportStatus::Timeout;
}

TransportStatus CommTransport::read(std::string& into, Milliseconds timeout) {
    if (!setTimeouts(millisecondsOf(timeout), 1))
        return TransportStatus::Failed;
    DWORD count = 0;
    if (!::ReadFile(port_, buffer_, sizeof buffer_, &count, nullptr))
        return TransportStatus::Failed;
    if (count == 0)
        return TransportStatus::Timeout;
    into.append(buffer_, count);
    return TransportStatus::Ok;
}

BYTE parityOf(Parity parity) {
    return parity == Parity::None ? NOPARITY : parity == Parity::Odd ? ODDPARITY : EVENPARITY;
}

// The line as the port holds it now matches what was asked.
bool holds(const DCB& state, const LineSettings& line) {
    return state.BaudRate == line.baud && state.ByteSize == line.dataBits &&
           state.Parity == parityOf(line.parity) &&
           state.StopBits == (line.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT);
}

std::string systemText(DWORD error) {
    return "system error " + std::to_string(error);
}

} // namespace

std::unique_ptr<Transport> openSerial(asio::io_context&, const std::string& device,
                                      const LineSettings& line, std::string& why) {
    HANDLE port = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        why = "cannot open " + device + ": " + systemText(::GetLastError());
        return nullptr;
    }
    auto transport = std::make_unique<CommTransport>(port, line);
    DCB state{};
    state.DCBlength = sizeof state;
    if (!::GetCommState(port, &state)) {
        why = "cannot read the line of " + device + ": " + systemText(::GetLastError());
        return nullptr;
    }
    state.BaudRate = line.baud;
    state.ByteSize = static_cast<BYTE>(line.dataBits);
    state.Parity = parityOf(line.parity);
    state.StopBits = line.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    state.fBinary = TRUE;
    state.fParity = line.parity == Parity::None ? FALSE : TRUE;
    // No flow control of any kind, and the modem lines raised.
    state.fOutxCtsFlow = FALSE;
    state.fOutxDsrFlow = FALSE;
    state.fDsrSensitivity = FALSE;
    state.fOutX = FALSE;
    state.fInX = FALSE;
    state.fDtrControl = DTR_CONTROL_ENABLE;
    state.fRtsControl = RTS_CONTROL_ENABLE;
    state.fAbortOnError = FALSE;
    if (!::SetCommState(port, &state)) {
        why = "cannot set the line of " + device + ": " + systemText(::GetLastError());
        return nullptr;
    }
    // A port may accept the request and keep other settings: read back what
    // it did.
    DCB actual{};
    actual.DCBlength = sizeof actual;
    if (!::GetCommState(port, &actual) || !holds(actual, line)) {
        why = device + " does not take the requested line settings";
        return nullptr;
    }
    // Bytes left on the line from an earlier exchange are not ours.
    ::PurgeComm(port, PURGE_RXCLEAR);
    return transport;
}

} // namespace iae17
