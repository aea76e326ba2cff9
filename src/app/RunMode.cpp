#include "app/RunMode.h"

#include "platform/Text.h"

namespace kvl {

namespace {

bool hasSwitch(const std::string& commandLine, const char* name) {
    return text::findIgnoringCase(commandLine, name) != std::string::npos;
}

} // namespace

RunMode decideRunMode(const std::string& commandLine) {
    // A switch needs no blank around it: "x-in" inside a path counts as "-I".
    if (hasSwitch(commandLine, "-E"))
        return RunMode::OneShot;
    if (hasSwitch(commandLine, "-V"))
        return RunMode::Version;
    if (hasSwitch(commandLine, "-I"))
        return RunMode::Interactive;
    return RunMode::Resident;
}

} // namespace kvl
