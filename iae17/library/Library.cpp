#include "library/Library.h"

#include "library/Exchange.h"
#include "library/SerialTransport.h"
#include "library/Settings.h"
#include "library/TcpTransport.h"

#include <cstring>

namespace iae17 {

namespace {

std::unique_ptr<Transport> openTransport(const Destination& destination, const Settings& settings,
                                         Trace& trace) {
    std::string why;
    std::unique_ptr<Transport> transport;
    if (const auto* ethernet = std::get_if<EthernetDestination>(&destination)) {
        transport = TcpTransport::connect(*ethernet, settings.connectTimeout, why);
    } else if (const auto* serial = std::get_if<SerialDestination>(&destination)) {
        transport = SerialTransport::open(serialDevice(serial->comNumber), serial->line, why);
    } else {
        why = std::get<InvalidDestination>(destination).reason;
    }
    if (!transport) {
        trace.note(why);
    }
    return transport;
}

} // namespace

short Library::initEth(const char* image) {
    destination_ = parseEthInit(image);
    return std::holds_alternative<InvalidDestination>(destination_) ? Result::ComError : Result::Ok;
}

short Library::initRs232(const char* image) {
    destination_ = parseRs232Init(image);
    return std::holds_alternative<InvalidDestination>(destination_) ? Result::ComError : Result::Ok;
}

short Library::operation(protocol::FrameType type, const char* posRequest, char* posData) {
    if (posRequest == nullptr || posData == nullptr) {
        return Result::ComError;
    }
    const Settings settings = Settings::fromEnvironment();
    Trace trace(settings.tracePath);
    const protocol::Frame request{
        type, ++seq_,
        protocol::buildRequestPayload(std::string_view(posRequest, protocol::PosRequestSize),
                                      std::string_view(posData, protocol::PosDataSize))};

    const auto transport = openTransport(destination_, settings, trace);
    if (!transport) {
        return Result::ComError;
    }
    const SteadyClock clock;
    Exchange exchange(*transport, clock, settings.exchange, trace);
    std::string answer;
    const short result = exchange.run(request, answer);
    if (answer.size() == protocol::PosDataSize) {
        std::memcpy(posData, answer.data(), protocol::PosDataSize);
    }
    return result;
}

void Library::free() {
    destination_ = InvalidDestination{"library freed"};
}

} // namespace iae17
