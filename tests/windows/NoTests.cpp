#include <cstdio>
#include <cstring>

// Runs no test and exits 0, like a test program that wine did not manage to
// run; "--stderr TEXT" first writes TEXT to standard error, as wine does when
// it cannot load a program.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--stderr") == 0)
        std::fprintf(stderr, "%s\n", argv[2]);
}
