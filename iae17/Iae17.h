#pragma once

// The entry points of libiae17.so (Iae17.dll on Windows). Records travel as their packed images:
// Ethernet init 22 bytes, serial init 14, request 219, POSDATA 4267; the
// version buffer takes 10 characters and no terminator. Operations return
// 0 done, 1 communication failure, 2 protocol failure, 3 time-out,
// 4 function not supported by the terminal.

// On Windows the entry points use the platform's standard calling convention
// and a .def file exports them under their plain names; elsewhere they are
// the only symbols made visible.
#ifdef _WIN32
#define IAE17_EXPORT
#define IAE17_CALL __stdcall
#else
#define IAE17_EXPORT __attribute__((visibility("default")))
#define IAE17_CALL
#endif

extern "C" {

IAE17_EXPORT short IAE17_CALL IAE17AX_GetVersion(char* version10);
IAE17_EXPORT short IAE17_CALL IAE17AX_Free(void);
IAE17_EXPORT short IAE17_CALL IAE17AX_InitEth(char* ethInit22);
IAE17_EXPORT short IAE17_CALL IAE17AX_InitRS232(char* rs232Init14);

IAE17_EXPORT short IAE17_CALL IAE17AX_Payment(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_PaymentExt(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_Refund(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_Void(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_TerminalBalance(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_Closure(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_Status(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_Preauthorization(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_PreauthorizationInt(char* posRequest219, char* posData4267);
IAE17_EXPORT short IAE17_CALL IAE17AX_PreauthorizationClose(char* posRequest219, char* posData4267);
}
