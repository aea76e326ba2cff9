#include "RequestMemory.h"

namespace sim {

Remembered* RequestMemory::find(iae17::protocol::RequestId id) {
    const auto found = entries_.find(id);
    return found == entries_.end() ? nullptr : &found->second;
}

Remembered& RequestMemory::remember(iae17::protocol::RequestId id, Remembered entry) {
    const auto [where, added] = entries_.insert_or_assign(id, std::move(entry));
    if (added) {
        order_.push_back(id);
        if (order_.size() > Capacity) {
            entries_.erase(order_.front());
            order_.pop_front();
        }
    }
    return where->second;
}

std::vector<std::pair<iae17::protocol::RequestId, const Remembered*>>
RequestMemory::undelivered() const {
    std::vector<std::pair<iae17::protocol::RequestId, const Remembered*>> list;
    for (const auto id : order_) {
        const Remembered& entry = entries_.at(id);
        if (!entry.delivered && !entry.answerPayload.empty())
            list.emplace_back(id, &entry);
    }
    return list;
}

} // namespace sim
