// A stand-in terminal library for the system loader. Each entry point rewrites
// the records it takes with libraryByte() and returns a code of its own: 1 and 2
// for the initialisations, 10 to 19 for the operations in kvl::Operation order.
#include "TestTerminalLibrary.h"

#include <cstring>

static short rewrite(short result, char* record, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        record[i] = libraryByte(record[i], i);
    return result;
}

#define KVL_OPERATION_ENTRY(name, result)                                                          \
    extern "C" short name(char* request, char* answer) {                                           \
        return rewrite(rewrite(result, request, 219), answer, 4267);                               \
    }

extern "C" short IAE17AX_GetVersion(char* version) {
    std::strcpy(version, "TESTLIB1.2"); // ten characters and their NUL
    return 0;
}
extern "C" short IAE17AX_Free() {
    return 0;
}
extern "C" short IAE17AX_InitEth(char* record) {
    return rewrite(1, record, 22);
}
extern "C" short IAE17AX_InitRS232(char* record) {
    return rewrite(2, record, 14);
}
KVL_OPERATION_ENTRY(IAE17AX_Payment, 10)
KVL_OPERATION_ENTRY(IAE17AX_PaymentExt, 11)
#ifndef IAE17TEST_WITHOUT_REFUND
KVL_OPERATION_ENTRY(IAE17AX_Refund, 12)
#endif
KVL_OPERATION_ENTRY(IAE17AX_Void, 13)
KVL_OPERATION_ENTRY(IAE17AX_TerminalBalance, 14)
KVL_OPERATION_ENTRY(IAE17AX_Closure, 15)
KVL_OPERATION_ENTRY(IAE17AX_Status, 16)
KVL_OPERATION_ENTRY(IAE17AX_Preauthorization, 17)
KVL_OPERATION_ENTRY(IAE17AX_PreauthorizationInt, 18)
KVL_OPERATION_ENTRY(IAE17AX_PreauthorizationClose, 19)
