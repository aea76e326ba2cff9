#include "Options.h"

#include "Count.h"
#include "FieldText.h"

namespace sim {

namespace {

constexpr unsigned BaudRates[] = {300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

bool isPrintableId(const std::string& text, std::size_t longest) {
    if (text.empty() || text.size() > longest)
        return false;
    for (const char c : text)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

std::optional<std::string> readTcp(const std::string& value, Options& options) {
    const std::size_t colon = value.rfind(':');
    const std::optional<unsigned> port =
        colon == std::string::npos ? std::nullopt : readCount(value.substr(colon + 1), 65535);
    std::string host = colon == std::string::npos ? std::string() : value.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (host.empty() || !port)
        return "--tcp takes HOST:PORT, e.g. 127.0.0.1:0 (port 0 picks a free one)";
    options.tcpHost = host;
    options.tcpPort = static_cast<unsigned short>(*port);
    return std::nullopt;
}

std::optional<std::string> readUnsupported(const std::string& value, Options& options) {
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find(',', start);
        if (end == std::string::npos)
            end = value.size();
        const std::string name = value.substr(start, end - start);
        const std::optional<Operation> operation = operationFromName(name);
        if (!operation)
            return "--unsupported: unknown operation \"" + printable(name) + "\"";
        options.unsupported.push_back(*operation);
        start = end + 1;
    }
    return std::nullopt;
}

bool isFlag(const std::string& name) {
    for (const char* flag : {"--help", "-h", "--pty", "--check-terminal-id", "--timeout", "--nak",
                             "--garbage", "--mute", "--forget"})
        if (name == flag)
            return true;
    return false;
}

bool takesValue(const std::string& name) {
    for (const char* option : {"--tcp", "--serial", "--baud", "--terminal-id", "--acquirer-id",
                               "--limit", "--ack-timeout", "--scenario", "--delay", "--progress",
                               "--drop", "--badcrc", "--unsupported", "--deaf"})
        if (name == option)
            return true;
    return false;
}

std::optional<std::string> readFault(const std::string& name, const std::string& word,
                                     Options& options) {
    FaultChange change;
    if (auto error = readFaultWord(word, change))
        return name + ": " + *error;
    change.applyTo(options.defaults);
    return std::nullopt;
}

std::optional<std::string> readFlag(const std::string& name,
                                    const std::optional<std::string>& value, Options& options) {
    if (name == "--garbage")
        return readFault(name, value ? "garbage=" + *value : "garbage", options);
    if (value)
        return name + " takes no value";
    if (name == "--help" || name == "-h")
        options.help = true;
    else if (name == "--pty")
        options.pty = true;
    else if (name == "--check-terminal-id")
        options.terminal.checkTerminalId = true;
    else
        return readFault(name, name.substr(2), options);
    return std::nullopt;
}

std::optional<std::string> readValued(const std::string& name, const std::string& value,
                                      Options& options) {
    if (name == "--tcp")
        return readTcp(value, options);
    if (name == "--serial") {
        if (value.empty())
            return std::string("--serial needs a device path");
        options.serialPath = value;
        return std::nullopt;
    }
    if (name == "--baud") {
        const std::optional<unsigned> baud = readCount(value, 115200);
        for (const unsigned rate : BaudRates)
            if (baud && *baud == rate) {
                options.baud = rate;
                return std::nullopt;
            }
        return std::string("--baud takes one of 300 1200 2400 4800 9600 19200 38400 57600 115200");
    }
    if (name == "--terminal-id") {
        if (!isPrintableId(value, 9))
            return std::string("--terminal-id takes 1 to 9 printable characters, no blanks");
        options.terminal.terminalId = value;
        return std::nullopt;
    }
    if (name == "--acquirer-id") {
        if (!isPrintableId(value, 12))
            return std::string("--acquirer-id takes 1 to 12 printable characters, no blanks");
        options.terminal.acquirerId = value;
        return std::nullopt;
    }
    if (name == "--limit") {
        const std::optional<unsigned> limit = readCount(value, 999999999);
        if (!limit)
            return std::string("--limit takes cents from 0 to 999999999");
        options.terminal.limit = *limit;
        return std::nullopt;
    }
    if (name == "--ack-timeout") {
        const std::optional<unsigned> ms = readCount(value, 600000);
        if (!ms || *ms == 0)
            return std::string("--ack-timeout takes milliseconds from 1 to 600000");
        options.ackTimeoutMs = *ms;
        return std::nullopt;
    }
    if (name == "--scenario") {
        options.scenarioPath = value;
        return std::nullopt;
    }
    if (name == "--unsupported")
        return readUnsupported(value, options);
    return readFault(name, name.substr(2) + "=" + value, options);
}

} // namespace

OptionsReading readOptions(const std::vector<std::string>& arguments) {
    OptionsReading reading;
    Options& options = reading.options;
    for (std::size_t i = 0; i < arguments.size() && reading.error.empty(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        const std::size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        std::optional<std::string> error;
        if (isFlag(name)) {
            error = readFlag(name, value, options);
        } else if (takesValue(name)) {
            if (!value && i + 1 < arguments.size())
                value = arguments[++i];
            error = value ? readValued(name, *value, options) : name + " needs a value";
        } else {
            error = "unknown option \"" + printable(name) + "\"";
        }
        if (error)
            reading.error = *error;
    }
    if (!reading.error.empty() || options.help)
        return reading;
    if (!options.tcpHost && !options.serialPath && !options.pty)
        reading.error = "nothing to listen on: give --tcp, --serial or --pty";
    else if (options.serialPath && options.pty)
        reading.error = "--serial and --pty cannot be used together";
    return reading;
}

std::string helpText() {
    return R"(terminal-sim: a payment-terminal simulator speaking the iae17 frame protocol.

Usage: terminal-sim [--tcp HOST:PORT] [--serial PATH | --pty] [--baud N] [options]

Where it listens (at least one):
  --tcp HOST:PORT       listen on TCP; port 0 picks a free port from 1024 to
                        9999. Prints "listening tcp HOST:PORT" once ready.
  --serial PATH         serve a serial device, 8 data bits, no parity, 1 stop bit
  --pty                 create a pseudo-terminal pair in raw mode and serve its
                        master side; prints "pty PATH", the device to open
  --baud N              the line's speed: 300 1200 2400 4800 9600 (default)
                        19200 38400 57600 115200; waits for an ACK allow for
                        the time the line takes to carry the frames
Connections are served one after another. The simulator ends on SIGTERM or
SIGINT.

The terminal:
  --terminal-id ID      its identifier, up to 9 characters (default 12345678)
  --acquirer-id ID      the acquirer's, up to 12 characters (default 000000000001)
  --limit CENTS         payments and preauthorisations above it are declined
                        (default 500000)
  --check-terminal-id   decline requests that name another terminal
  --ack-timeout MS      how long an answer waits for its ACK before it is sent
                        again, at most 3 sends (default 2000)

Answers (TransactionResult, ActionCode, KODescription):
  00 000                         approved
  13 113 IMPORTO NON VALIDO      amount empty, 0, or not only digits
  51 151 FONDI INSUFFICIENTI     amount ending in 99 cents, or above --limit
                                 (payments, preauthorisations, supplements)
  25 125 STAN NON TROVATO        void of a STAN not in today's journal
  94 194 OPERAZIONE GIA' STORNATA void of a STAN already voided
  25 125 PREAUTORIZZ. NON TROVATA supplement or closing of an unknown
                                 preauthorisation code
  58 158 TERMINALE NON ABILITATO request naming another terminal
                                 (with --check-terminal-id)
  A void names its STAN in the answer record's STAN field of the request (or
  in the request's Stan field when that is blank). Approved transactions get
  the next STAN; closure reports the totals and empties them and the journal.

Faults for every call:
  --delay MS            wait between the ACK and the answer
  --progress N          send N "in progress" frames spread over that wait
  --timeout             ACK, then lose the answer (an enquiry still finds it)
  --drop WHEN           drop the connection: before-ack, after-ack, after-answer
  --garbage[=WHERE]     garbage bytes instead of the answer (WHERE answer,
                        default) or of the ACK (ack)
  --badcrc N            send the answer with a bad checksum N times
  --nak                 refuse the first frame of each request with NAK (busy)
  --unsupported LIST    answer "function not supported" to these operations,
                        e.g. Payment,Closure
  --mute                ACK, then never a word about the request, not even
                        when asked; it is not run
  --forget              ACK, then restart: drop the connection, neither run
                        the request nor remember it
  --deaf MS             after the ACK (and any drop) hear nothing for MS:
                        connections are closed at once, bytes on a line lost
  --scenario FILE       per-call faults, which win over those above

Operations: Payment PaymentExt Refund Void TerminalBalance Closure Status
Preauthorization PreauthorizationInt PreauthorizationClose (any case).

Scenario file: one rule per line, SELECTOR FAULT...
  SELECTOR   OPERATION#N (its N-th call), OPERATION#* or OPERATION (every
             call); OPERATION may be "any", which counts calls of all
  FAULT      ok | delay=MS | progress=N | timeout | nak | unsupported |
             drop=before-ack|after-ack|after-answer | garbage[=ack|answer] |
             badcrc[=N] | mute | forget | deaf=MS
  "ok" stands alone and removes every fault. Every rule that picks a call
  applies, in file order, over the command-line faults. Lines starting with
  '#' and blank lines are skipped; a word starting with '#' ends a rule.
  Example:
    # the third payment gets no answer
    payment#3 timeout
    any#2 delay=5000 progress=4
    status#* ok

The terminal remembers the last 128 requests it took, by identifier, on every
connection: a repeat is never run twice, and an ENQUIRY is told what became of
one.

Each exchange is logged on standard output as one line:
  TIME OPERATION seq=N id=I amount=A stan=S result=R fault=F end=E
On exit, every request run whose answer the library never acknowledged is
logged once more with result=unverified.
)";
}

} // namespace sim
