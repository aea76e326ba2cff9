#include "platform/win32/ShellDocumentOpener.h"

#include <windows.h>

#include <shellapi.h>

namespace kvl {

void ShellDocumentOpener::open(const std::string& path) {
    // The program's active window, the resident window when it is shown,
    // owns whatever the shell has to ask.
    ::ShellExecuteA(::GetActiveWindow(), "Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace kvl
