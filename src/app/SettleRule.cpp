#include "app/SettleRule.h"

namespace kvl {

namespace {

constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;
// The coarsest stamps (FAT) count in steps of two seconds.
constexpr std::int64_t CoarseStampSlack = 2 * NanosecondsPerSecond;
// Fine stamps come from a clock that may lag the system's by a timer tick.
constexpr std::int64_t FineStampSlack = 10'000'000;

} // namespace

bool SettleRule::stoodStill(const CommandFileLook& look, std::int64_t wallNanoseconds) {
    const std::int64_t stamp = look.identity.modifiedNanoseconds;
    const bool coarse = stamp % NanosecondsPerSecond == 0;
    const std::int64_t latestChange = stamp + (coarse ? CoarseStampSlack : FineStampSlack);
    const auto required = std::chrono::nanoseconds(settleTime(look)).count();
    return wallNanoseconds - latestChange >= required;
}

bool SettleRule::settled(const CommandFileLook& look, TimePoint now) {
    if (!looked_ || looked_->identity != look.identity ||
        looked_->lineFinished != look.lineFinished) {
        looked_ = look;
        lookedSince_ = now;
        return false;
    }
    return now - lookedSince_ >= settleTime(look);
}

} // namespace kvl
