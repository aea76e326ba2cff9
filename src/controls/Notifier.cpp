#include "controls/Notifier.h"

#include <algorithm>
#include <atomic>

namespace kvl {

namespace {

// Ids are unique across all models, so an origin never matches a listener of
// another model by chance.
std::atomic<std::uint64_t> nextId{1};

void removeDisconnected(detail::ListenerList& list) {
    auto& slots = list.slots;
    slots.erase(std::remove_if(slots.begin(), slots.end(),
                               [](const auto& slot) { return !slot->connected; }),
                slots.end());
}

} // namespace

Subscription::Subscription(Subscription&& other) noexcept
    : list_(std::move(other.list_)), id_(other.id_) {
    other.id_ = 0;
}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        disconnect();
        list_ = std::move(other.list_);
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

void Subscription::disconnect() {
    const auto list = list_.lock();
    list_.reset();
    if (!list)
        return;
    for (const auto& slot : list->slots)
        if (slot->id == id_)
            slot->connected = false;
    // A notification in progress may be calling the listener right now; the
    // slot goes when the outermost notification ends.
    if (list->notifying == 0)
        removeDisconnected(*list);
}

bool Subscription::connected() const {
    const auto list = list_.lock();
    return list && std::any_of(list->slots.begin(), list->slots.end(), [&](const auto& slot) {
               return slot->id == id_ && slot->connected;
           });
}

Subscription Notifier::onChange(Listener listener) {
    const std::uint64_t id = nextId++;
    list_->slots.push_back(
        std::make_shared<detail::ListenerSlot>(detail::ListenerSlot{id, std::move(listener)}));
    return Subscription(list_, id);
}

void Notifier::notify(Property property, Origin origin) {
    const std::shared_ptr<detail::ListenerList> list = list_;
    struct Depth {
        detail::ListenerList& list;
        explicit Depth(detail::ListenerList& l) : list(l) { ++list.notifying; }
        ~Depth() {
            if (--list.notifying == 0)
                removeDisconnected(list);
        }
    } depth(*list);

    const std::uint64_t skipped = origin ? origin->id_ : 0;
    // Listeners added meanwhile wait for the next notification.
    const std::size_t count = list->slots.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::shared_ptr<detail::ListenerSlot> slot = list->slots[i];
        if (slot->connected && slot->id != skipped)
            slot->listener(property);
    }
}

} // namespace kvl
