#include "library/Library.h"

#include "library/Call.h"
#include "library/SerialTransport.h"
#include "library/Settings.h"
#include "library/TcpTransport.h"

#include <cstring>

namespace iae17 {

namespace {

// Opens connections to the destination of the last init record.
class DestinationConnector : public Connector {
public:
    DestinationConnector(asio::io_context& io, const Destination& destination)
        : io_(io), destination_(destination) {}

    std::unique_ptr<Transport> open(Milliseconds timeout, std::string& why) override {
        if (const auto* ethernet = std::get_if<EthernetDestination>(&destination_)) {
            return TcpTransport::connect(*ethernet, timeout, why);
        }
        if (const auto* serial = std::get_if<SerialDestination>(&destination_)) {
            return SerialTransport::open(io_, serialDevice(serial->comNumber), serial->line, why);
        }
        why = std::get<InvalidDestination>(destination_).reason;
        return nullptr;
    }

private:
    asio::io_context& io_;
    const Destination& destination_;
};

} // namespace

// Sequence numbers start anywhere, so that frames left on a line by an
// earlier process are unlikely to carry the seq of this one's first request.
Library::Library() : seq_(static_cast<std::uint8_t>(entropy_())) {}

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
    Request request;
    request.id = nextId();
    request.posData.assign(posData, protocol::PosDataSize);
    request.frame = protocol::Frame{
        type, ++seq_,
        protocol::buildRequestPayload(
            request.id, std::string_view(posRequest, protocol::PosRequestSize), request.posData)};

    DestinationConnector connector(io_, destination_);
    const SteadyClock clock;
    Call call(connector, clock, settings.connectTimeout, settings.timeoutsFor(type), trace);
    std::string answer;
    const short result = call.run(request, answer);
    if (answer.size() == protocol::PosDataSize) {
        std::memcpy(posData, answer.data(), protocol::PosDataSize);
    }
    return result;
}

void Library::free() {
    destination_ = InvalidDestination{"library freed"};
}

// 64 bits from the system's entropy for every request: two processes, or two
// runs of one, never send the same identifier for different requests.
protocol::RequestId Library::nextId() {
    const auto high = static_cast<protocol::RequestId>(entropy_());
    const auto low = static_cast<protocol::RequestId>(entropy_());
    return high << 32 | (low & 0xFFFFFFFFu);
}

} // namespace iae17
