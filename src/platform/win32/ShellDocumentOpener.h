#pragma once

#include "platform/ProgramInfo.h"

namespace kvl {

// Opens a document with the program associated with its type: ShellExecuteA
// with the verb "Open", no parameters, no working folder and a normal window.
// The result is not examined, and nothing waits for the program.
class ShellDocumentOpener : public DocumentOpener {
public:
    void open(const std::string& path) override;
};

} // namespace kvl
