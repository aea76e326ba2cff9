// A DLL with the terminal library's kind of entry points (C names, the
// standard calling convention, pointers in, a 16-bit result out), for the
// checks of its export table.

extern "C" {
short __stdcall Probe_Version(char* buffer) {
    return buffer != nullptr;
}
short __stdcall Probe_Exchange(const char* request, char* answer) {
    return static_cast<short>(request - answer);
}
short __stdcall Probe_Free() {
    return 0;
}
}
