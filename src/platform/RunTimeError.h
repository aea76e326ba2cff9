#pragma once

#include <stdexcept>
#include <string>

namespace kvl {

// The platform's run-time error numbers that the program acts on.
namespace ErrorNumber {
constexpr int FileNotFound = 53; // a file or a shared library
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int EntryPointNotFound = 453;
} // namespace ErrorNumber

// A run-time failure as the procedures of the program see it: a number from the
// list above (or another platform number) and a readable description.
class RunTimeError : public std::runtime_error {
public:
    RunTimeError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    int number() const { return number_; }
    std::string description() const { return what(); }

private:
    int number_;
};

// The failure's description without the path it ends with, for a message
// that names the file itself.
std::string reasonOf(const RunTimeError& error, const std::string& path);

} // namespace kvl
