#include "platform/posix/XdgDocumentOpener.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kvl {

XdgDocumentOpener::XdgDocumentOpener(std::string opener) : opener_(std::move(opener)) {}

void XdgDocumentOpener::open(const std::string& path) {
    // A name beginning with '-' would be taken for an option.
    std::string argument = !path.empty() && path[0] == '-' ? "./" + path : path;
    // Everything the children need is made before fork(): after it only
    // async-signal-safe calls are allowed.
    const char* arguments[] = {opener_.c_str(), argument.c_str(), nullptr};
    pid_t child = ::fork();
    if (child < 0)
        return;
    if (child == 0) {
        // The grandchild is adopted by init, so nobody has to wait for it.
        ::setsid();
        if (::fork() != 0)
            ::_exit(0);
        int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execvp(arguments[0], const_cast<char* const*>(arguments));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace kvl
