#pragma once

#include "terminal/TerminalLibrary.h"

namespace kvl {

// The run-time error number of a call refused because another is running
// (the platform's "Can't perform requested operation").
constexpr int TerminalBusyError = 17;

// The terminal library, one exchange at a time. Events run while an exchange
// is under way (the modal boxes an operation shows, a library that processes
// window messages while it waits for the terminal), and through them a
// console click, a polling tick or the program's end could start a second
// exchange on the same line. Such a call never reaches the library: it fails
// with TerminalBusyError, which its caller handles as any failure of the
// library.
//
// An operation that is not over between its calls (a console operation from
// its line set-up to its outcome, a command's operation while its failure box
// is open) holds the terminal, so that nothing else starts meanwhile and
// overwrites the console fields its answer is read from: busy() says so. The
// holder's own calls go through; only a call made while another call runs is
// refused.
class GuardedTerminalLibrary : public TerminalLibrary {
public:
    explicit GuardedTerminalLibrary(TerminalLibrary& library) : library_(library) {}
    GuardedTerminalLibrary(const GuardedTerminalLibrary&) = delete;
    GuardedTerminalLibrary& operator=(const GuardedTerminalLibrary&) = delete;

    // The terminal is held until the hold goes; holds may nest.
    class Hold {
    public:
        Hold(Hold&& other) noexcept : guard_(other.guard_) { other.guard_ = nullptr; }
        Hold& operator=(Hold&&) = delete;
        ~Hold() {
            if (guard_)
                --guard_->holds_;
        }

    private:
        friend class GuardedTerminalLibrary;
        explicit Hold(GuardedTerminalLibrary& guard) : guard_(&guard) { ++guard_->holds_; }
        GuardedTerminalLibrary* guard_;
    };

    [[nodiscard]] Hold hold() { return Hold(*this); }
    // A call is running or an operation holds the terminal.
    bool busy() const { return calling_ || holds_ > 0; }

    void IAE17AX_GetVersion(VersionBuffer& version) override;
    void IAE17AX_Free() override;
    short IAE17AX_InitEth(EthInitRecord& record) override;
    short IAE17AX_InitRS232(Rs232InitRecord& record) override;
    short call(Operation operation, PosRequest& request, POSDATA& answer) override;

private:
    template <class Call> auto alone(const char* entryPoint, Call&& call);

    TerminalLibrary& library_;
    bool calling_ = false;
    int holds_ = 0;
};

} // namespace kvl
