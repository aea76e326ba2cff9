#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kvl {

// What changed in a model, as its listeners are told.
enum class Property {
    Text,
    Items,
    ListIndex,
    Enabled,
    Visible,
    FillColour,
    Caption,
    Value, // a check box's checked value
    Default,
    Interval,
    WindowState,
};

using Listener = std::function<void(Property)>;

class Subscription;
// Who made a change: the subscription of the view whose widget it came from,
// or nullptr for the program's own changes.
using Origin = const Subscription*;

namespace detail {
struct ListenerSlot {
    std::uint64_t id;
    Listener listener;
    bool connected = true;
};
struct ListenerList {
    std::vector<std::shared_ptr<ListenerSlot>> slots;
    int notifying = 0; // nesting depth of notifications in progress
};
} // namespace detail

// The handle of one listener registration: the listener is disconnected when
// the handle goes or disconnect() is called. A handle may outlive its model
// (disconnecting then does nothing), and a listener may disconnect itself or
// any other from inside a notification: a disconnected listener is not called
// again, not even later in the same notification.
class Subscription {
public:
    Subscription() = default;
    ~Subscription() { disconnect(); }
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

    void disconnect();
    bool connected() const;

private:
    friend class Notifier;
    Subscription(std::weak_ptr<detail::ListenerList> list, std::uint64_t id)
        : list_(std::move(list)), id_(id) {}

    std::weak_ptr<detail::ListenerList> list_;
    std::uint64_t id_ = 0;
};

// The listeners of one model. A change made on behalf of a view names that
// view's subscription as its origin, and that listener is not told of it, so
// an operator's edit never echoes back into the widget it came from. A
// listener added during a notification first hears the next one. A model must
// not be destroyed from inside its own notification.
class Notifier {
public:
    Notifier() = default;
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    [[nodiscard]] Subscription onChange(Listener listener);

protected:
    ~Notifier() = default;

    void notify(Property property, Origin origin = nullptr);

    // Stores a new value of a property and tells the listeners; a value equal
    // to the stored one changes nothing and tells nobody.
    template <class T> void update(T& stored, T value, Property property, Origin origin) {
        if (stored == value)
            return;
        stored = std::move(value);
        notify(property, origin);
    }

private:
    std::shared_ptr<detail::ListenerList> list_ = std::make_shared<detail::ListenerList>();
};

} // namespace kvl
