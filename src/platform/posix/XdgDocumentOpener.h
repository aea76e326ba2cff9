#pragma once

#include "platform/ProgramInfo.h"

namespace kvl {

// Opens a document with the desktop's associated program through xdg-open,
// started detached and not waited for. Nothing is reported when the opener is
// missing or fails.
class XdgDocumentOpener : public DocumentOpener {
public:
    explicit XdgDocumentOpener(std::string opener = "xdg-open");
    void open(const std::string& path) override;

private:
    std::string opener_;
};

} // namespace kvl
