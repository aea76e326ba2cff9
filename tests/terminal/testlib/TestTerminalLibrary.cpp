// A stand-in terminal library with the real entry points, built as a shared
// object so that the run-time binding is tested through the system loader.

#include "TestLibraryControl.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t EthSize = 22;
constexpr std::size_t Rs232Size = 14;
constexpr std::size_t RequestSize = 219;
constexpr std::size_t AnswerSize = 4267;

struct Call {
    std::string name;
    std::vector<std::string> arguments;
};

std::vector<Call> calls;
short result = 0;
bool writing = false;

void write(const char* name, int argument, char* record, std::size_t size) {
    if (!writing) {
        return;
    }
    for (std::size_t i = 0; i < size; ++i) {
        record[i] = libraryByte(i, argument, std::strlen(name));
    }
}

short initEntry(const char* name, char* record, std::size_t size) {
    calls.push_back({name, {std::string(record, size)}});
    write(name, 0, record, size);
    return result;
}

short operationEntry(const char* name, char* request, char* answer) {
    calls.push_back({name, {std::string(request, RequestSize), std::string(answer, AnswerSize)}});
    write(name, 0, request, RequestSize);
    write(name, 1, answer, AnswerSize);
    return result;
}

} // namespace

#define KVL_OPERATION_ENTRY(name)                                                                  \
    extern "C" short name(char* request, char* answer) {                                           \
        return operationEntry(#name, request, answer);                                             \
    }

extern "C" {

short IAE17AX_GetVersion(char* version) {
    calls.push_back({"IAE17AX_GetVersion", {}});
    std::strcpy(version, writing ? TestLibraryVersion : QuietLibraryVersion);
    return 0;
}

short IAE17AX_Free() {
    calls.push_back({"IAE17AX_Free", {}});
    return 0;
}

short IAE17AX_InitEth(char* record) {
    return initEntry("IAE17AX_InitEth", record, EthSize);
}

short IAE17AX_InitRS232(char* record) {
    return initEntry("IAE17AX_InitRS232", record, Rs232Size);
}

void IAE17TEST_Reset() {
    calls.clear();
    result = 0;
    writing = false;
}

void IAE17TEST_SetResult(short value) {
    result = value;
}

void IAE17TEST_SetWriting(int on) {
    writing = on != 0;
}

int IAE17TEST_CallCount() {
    return static_cast<int>(calls.size());
}

const char* IAE17TEST_CallName(int index) {
    if (index < 0 || index >= IAE17TEST_CallCount()) {
        return nullptr;
    }
    return calls[static_cast<std::size_t>(index)].name.c_str();
}

int IAE17TEST_Received(int index, int argument, char* out, int capacity) {
    if (index < 0 || index >= IAE17TEST_CallCount() || argument < 0) {
        return -1;
    }
    const Call& call = calls[static_cast<std::size_t>(index)];
    if (static_cast<std::size_t>(argument) >= call.arguments.size()) {
        return -1;
    }
    const std::string& bytes = call.arguments[static_cast<std::size_t>(argument)];
    const std::size_t copied = std::min(bytes.size(), static_cast<std::size_t>(capacity));
    std::memcpy(out, bytes.data(), copied);
    return static_cast<int>(bytes.size());
}

} // extern "C"

KVL_OPERATION_ENTRY(IAE17AX_Payment)
KVL_OPERATION_ENTRY(IAE17AX_PaymentExt)
#ifndef IAE17TEST_WITHOUT_REFUND
KVL_OPERATION_ENTRY(IAE17AX_Refund)
#endif
KVL_OPERATION_ENTRY(IAE17AX_Void)
KVL_OPERATION_ENTRY(IAE17AX_TerminalBalance)
KVL_OPERATION_ENTRY(IAE17AX_Closure)
KVL_OPERATION_ENTRY(IAE17AX_Status)
KVL_OPERATION_ENTRY(IAE17AX_Preauthorization)
KVL_OPERATION_ENTRY(IAE17AX_PreauthorizationInt)
KVL_OPERATION_ENTRY(IAE17AX_PreauthorizationClose)
