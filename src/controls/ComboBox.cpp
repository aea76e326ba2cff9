#include "controls/ComboBox.h"

#include "platform/RunTimeError.h"

namespace kvl {

ComboBox::ComboBox(std::string name, std::string container, Twips position,
                   std::vector<std::string> items)
    : Control(std::move(name), std::move(container), position), items_(std::move(items)) {}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()))
        throw RunTimeError(380, "Invalid property value");
    index_ = index;
    changed();
}

std::string ComboBox::text() const {
    return index_ < 0 ? std::string() : items_[static_cast<std::size_t>(index_)];
}

} // namespace kvl
