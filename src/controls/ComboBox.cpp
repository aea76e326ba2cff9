#include "controls/ComboBox.h"

#include "platform/RunTimeError.h"

namespace kvl {

ComboBox::ComboBox(std::string name, std::string container, Twips position,
                   std::vector<std::string> items)
    : Control(std::move(name), std::move(container), position), items_(std::move(items)) {}

void ComboBox::setItems(std::vector<std::string> items) {
    setListIndex(-1);
    update(items_, std::move(items), Property::Items, nullptr);
}

void ComboBox::setListIndex(int index, Origin origin) {
    if (index < -1 || index >= static_cast<int>(items_.size()))
        throw RunTimeError(380, "Invalid property value");
    update(index_, index, Property::ListIndex, origin);
}

std::string ComboBox::text() const {
    return index_ < 0 ? std::string() : items_[static_cast<std::size_t>(index_)];
}

} // namespace kvl
