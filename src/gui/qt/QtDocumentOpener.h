#pragma once

#include "platform/ProgramInfo.h"

namespace kvl::qt {

// Opens a document with the desktop's program for its type, without waiting.
class QtDocumentOpener : public DocumentOpener {
public:
    void open(const std::string& path) override;
};

} // namespace kvl::qt
