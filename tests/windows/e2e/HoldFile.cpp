// Stands in for a cash register that keeps its command file open without
// sharing it: "holdfile PATH TEXT MILLISECONDS" writes TEXT to a new PATH with
// share mode 0, prints "held", and closes the file after the time given.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    HANDLE file = argc != 4 ? INVALID_HANDLE_VALUE
                            : ::CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, argv[2], static_cast<DWORD>(std::strlen(argv[2])), &written, nullptr)) {
        std::fprintf(stderr, "holdfile PATH TEXT MILLISECONDS: error %lu\n", ::GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    ::CloseHandle(file);
}
