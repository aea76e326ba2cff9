#pragma once

#include "controls/Control.h"

#include <vector>

namespace kvl {

// A drop-down list whose text cannot be typed: items, and the selected index
// (-1 while nothing is selected).
class ComboBox : public Control {
public:
    ComboBox(std::string name, std::string container, Twips position,
             std::vector<std::string> items);

    const std::vector<std::string>& items() const { return items_; }
    // Replaces the items; the selection is cleared.
    void setItems(std::vector<std::string> items);
    int listIndex() const { return index_; }
    // Selects an index; -1 clears the selection. An index outside the list is
    // a run-time failure (error 380, invalid property value) and changes nothing.
    void setListIndex(int index, Origin origin = nullptr);
    // The selected item's text, or empty text when nothing is selected.
    std::string text() const;

private:
    std::vector<std::string> items_;
    int index_ = -1;
};

} // namespace kvl
