#pragma once

#include "controls/ComboBox.h"
#include "controls/SimpleControls.h"
#include "controls/TextBox.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kvl::test {

// What a form table says about one control.
struct ControlRow {
    std::string name;
    std::string container;
    std::string content; // caption, or text of a text box
    Twips position;
};

inline Control* findControl(const std::vector<Control*>& controls, const std::string& name) {
    for (Control* control : controls) {
        if (control->name() == name) {
            return control;
        }
    }
    return nullptr;
}

// A caption, a text box's text, or empty for other controls.
inline std::string contentOf(const Control& control) {
    if (const auto* captioned = dynamic_cast<const CaptionedControl*>(&control)) {
        return captioned->caption();
    }
    if (const auto* box = dynamic_cast<const TextBox*>(&control)) {
        return box->text();
    }
    if (const auto* list = dynamic_cast<const ComboBox*>(&control)) {
        return list->text();
    }
    return {};
}

inline void expectRow(const std::vector<Control*>& controls, const ControlRow& row) {
    SCOPED_TRACE(row.name);
    const Control* control = findControl(controls, row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->container(), row.container);
    EXPECT_EQ(contentOf(*control), row.content);
    EXPECT_EQ(control->position().left, row.position.left);
    EXPECT_EQ(control->position().top, row.position.top);
    EXPECT_EQ(control->position().width, row.position.width);
    EXPECT_EQ(control->position().height, row.position.height);
}

// Every control once, with a name of its own, and every frame named as a
// container present on the form.
inline void expectWellFormed(const std::vector<Control*>& controls) {
    std::set<std::string> names;
    std::set<const Control*> seen;
    for (const Control* control : controls) {
        EXPECT_TRUE(seen.insert(control).second) << control->name() << " listed twice";
        EXPECT_TRUE(names.insert(control->name()).second) << control->name() << " name reused";
    }
    for (const Control* control : controls) {
        if (!control->container().empty()) {
            EXPECT_EQ(names.count(control->container()), 1u)
                << control->name() << " sits in missing " << control->container();
        }
    }
}

} // namespace kvl::test
