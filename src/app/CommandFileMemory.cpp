#include "app/CommandFileMemory.h"

namespace kvl {

std::uint64_t contentHash(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ull;
    }
    return hash;
}

bool CommandFileMemory::settled(const FileIdentity& identity, TimePoint now) {
    if (!looked_ || *looked_ != identity) {
        looked_ = identity;
        lookedSince_ = now;
        return false;
    }
    return now - lookedSince_ >= settleTime;
}

void CommandFileMemory::processing(const CommandFileVersion& version) {
    processed_ = version;
    looked_.reset();
}

bool CommandFileMemory::alreadyProcessed(const CommandFileVersion& version) const {
    return processed_ && *processed_ == version;
}

bool CommandFileMemory::mayBeProcessed(const FileIdentity& identity) const {
    return processed_ && processed_->identity == identity;
}

void CommandFileMemory::fileGone() {
    processed_.reset();
    looked_.reset();
}

} // namespace kvl
