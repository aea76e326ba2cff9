#pragma once

#include <cstddef>

// What the test terminal library exports besides the fourteen entry points,
// so that tests can steer it and see what it received.
extern "C" {
// Forgets every call and switches writing off; results back to 0.
void IAE17TEST_Reset();
// The result every entry point returns from now on.
void IAE17TEST_SetResult(short result);
// When on, every call overwrites all the bytes of the records it takes with
// libraryByte() and the version with TestLibraryVersion.
void IAE17TEST_SetWriting(int on);
int IAE17TEST_CallCount();
// The entry point name of call `index`, or nullptr.
const char* IAE17TEST_CallName(int index);
// Copies argument 0 or 1 of call `index`, as received, into `out`; gives its
// length, or -1 when there is no such call or argument.
int IAE17TEST_Received(int index, int argument, char* out, int capacity);
}

// The byte a writing library leaves at `offset` of the record in `argument`
// (0 or 1) of the entry point whose name has `nameLength` characters. Some
// bytes are NULs on purpose.
inline char libraryByte(std::size_t offset, int argument, std::size_t nameLength) {
    const std::size_t n = offset + 7 * static_cast<std::size_t>(argument) + nameLength;
    return n % 11 == 0 ? '\0' : static_cast<char>('0' + n % 75);
}

// The version a writing library reports: exactly ten characters, written as
// a C string with its terminating NUL.
constexpr const char* TestLibraryVersion = "TESTLIB1.2";
// The version otherwise.
constexpr const char* QuietLibraryVersion = "1.0";
