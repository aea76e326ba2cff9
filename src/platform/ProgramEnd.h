#pragma once

namespace kvl {

// Thrown where the program ends at once (second instance, fatal start-up
// checks, end of the one-shot run, unload of the console form). main() catches
// it and returns the status; tests catch it to see that the program ended.
struct ProgramEnd {
    int status = 0;
};

} // namespace kvl
