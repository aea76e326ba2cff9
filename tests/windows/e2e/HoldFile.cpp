// Stands in for a cash register that writes its command file and keeps it
// open without sharing it for a while:
//
//   holdfile PATH TEXT MILLISECONDS
//
// creates PATH with share mode 0, writes TEXT, prints "held", keeps the file
// open for the time given, then closes it and ends with status 0.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: holdfile PATH TEXT MILLISECONDS\n");
        return 2;
    }
    HANDLE file = ::CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "holdfile: cannot create %s: error %lu\n", argv[1], ::GetLastError());
        return 1;
    }
    DWORD written = 0;
    ::WriteFile(file, argv[2], static_cast<DWORD>(std::strlen(argv[2])), &written, nullptr);
    std::printf("held\n");
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    ::CloseHandle(file);
    return 0;
}
