#include <cstdio>
#include <cstring>

// Exits with status 0 and runs no test: to its caller, like a test program that
// wine did not manage to run. With "--stderr TEXT" it first writes TEXT to
// standard error, as wine does when it fails to load a program.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--stderr") == 0) {
        std::fprintf(stderr, "%s\n", argv[2]);
    }
    return 0;
}
