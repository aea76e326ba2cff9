#include "terminal/DynamicTerminalLibrary.h"

#include "platform/RunTimeError.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace kvl {

namespace {

const char* const LibraryVariable = "IAE17_LIBRARY";
const char* const LibraryStem = "Iae17";

extern "C" {
using VersionEntry = short(KVL_STDCALL*)(char*);
using FreeEntry = short(KVL_STDCALL*)();
using RecordEntry = short(KVL_STDCALL*)(char*);
using OperationEntry = short(KVL_STDCALL*)(char*, char*);
}

// Extra zero bytes after every buffer handed to the library, so that a
// library that terminates a full-width text with a NUL, as C code tends to,
// writes into slack instead of past the buffer.
constexpr std::size_t Slack = 16;

template <std::size_t Size> using CallBuffer = std::array<char, Size + Slack>;

template <class Record> CallBuffer<Record::size> bufferOf(Record& record) {
    CallBuffer<Record::size> buffer{};
    const auto image = packImage(record);
    std::copy(image.begin(), image.end(), buffer.begin());
    return buffer;
}

template <class Record> void readBack(Record& record, const CallBuffer<Record::size>& buffer) {
    std::array<char, Record::size> image{};
    std::copy_n(buffer.begin(), Record::size, image.begin());
    unpackImage(record, image);
}

template <class Entry> Entry as(void* address) {
    return reinterpret_cast<Entry>(address);
}

} // namespace

std::string terminalLibraryName(const LibraryLoader& loader) {
    const char* configured = std::getenv(LibraryVariable);
    if (configured != nullptr && *configured != '\0')
        return configured;
    return loader.fileName(LibraryStem);
}

DynamicTerminalLibrary::DynamicTerminalLibrary(LibraryLoader& loader, FileSystem& files,
                                               std::string programFolder)
    : loader_(loader), files_(files), programFolder_(std::move(programFolder)) {}

std::string DynamicTerminalLibrary::libraryPath() const {
    if (library_) {
        return loadedPath_;
    }
    const char* configured = std::getenv(LibraryVariable);
    if (configured != nullptr && *configured != '\0') {
        return configured;
    }
    const std::string name = loader_.fileName(LibraryStem);
    const std::string beside = files_.joinPath(programFolder_, name);
    if (files_.fileExists(beside)) {
        return beside;
    }
    return name;
}

void* DynamicTerminalLibrary::entryPoint(const std::string& name) {
    if (const auto found = bound_.find(name); found != bound_.end()) {
        return found->second;
    }
    if (!library_) {
        std::string path = libraryPath();
        library_ = loader_.load(path);
        loadedPath_ = std::move(path);
    }
    void* address = library_->symbol(name);
    if (address == nullptr) {
        throw RunTimeError(ErrorNumber::EntryPointNotFound,
                           "Can't find DLL entry point " + name + " in " + loadedPath_);
    }
    bound_.emplace(name, address);
    return address;
}

void DynamicTerminalLibrary::IAE17AX_GetVersion(VersionBuffer& version) {
    const auto entry = as<VersionEntry>(entryPoint("IAE17AX_GetVersion"));
    CallBuffer<std::tuple_size<VersionBuffer>::value> buffer{};
    std::copy(version.begin(), version.end(), buffer.begin());
    entry(buffer.data());
    std::copy_n(buffer.begin(), version.size(), version.begin());
}

void DynamicTerminalLibrary::IAE17AX_Free() {
    const auto entry = as<FreeEntry>(entryPoint("IAE17AX_Free"));
    entry();
}

short DynamicTerminalLibrary::IAE17AX_InitEth(EthInitRecord& record) {
    const auto entry = as<RecordEntry>(entryPoint("IAE17AX_InitEth"));
    auto buffer = bufferOf(record);
    const short result = entry(buffer.data());
    readBack(record, buffer);
    return result;
}

short DynamicTerminalLibrary::IAE17AX_InitRS232(Rs232InitRecord& record) {
    const auto entry = as<RecordEntry>(entryPoint("IAE17AX_InitRS232"));
    auto buffer = bufferOf(record);
    const short result = entry(buffer.data());
    readBack(record, buffer);
    return result;
}

short DynamicTerminalLibrary::call(Operation operation, PosRequest& request, POSDATA& answer) {
    const auto entry = as<OperationEntry>(entryPoint(entryPointName(operation)));
    auto requestBuffer = bufferOf(request);
    auto answerBuffer = bufferOf(answer);
    const short result = entry(requestBuffer.data(), answerBuffer.data());
    readBack(request, requestBuffer);
    readBack(answer, answerBuffer);
    return result;
}

} // namespace kvl
