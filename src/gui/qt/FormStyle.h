#pragma once

#include "controls/Geometry.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kvl {
class FrmMain;
}

namespace kvl::qt {

// How a form's window looks beyond what its model says: the frame, where its
// controls stand when the model gives no positions, which text boxes only
// show the program's answer, fonts, lines and keys.
struct FormStyle {
    enum class Border { Sizable, FixedDialog };
    Border border = Border::Sizable;
    bool windowIcon = true;
    // Client size in twips; 0 takes the form's own.
    int clientWidth = 0;
    int clientHeight = 0;
    // Positions by control name, for forms whose controls carry none.
    std::map<std::string, Twips> positions;
    // Text boxes that show the program's answer: read-only, on the
    // button-face background.
    std::set<std::string> answerBoxes;
    struct Font {
        bool bold = false;
        double pointSize = 0; // 0 keeps the form's size
    };
    std::map<std::string, Font> fonts;
    // A line from (left, top) to (right, top), in twips, in an RGB colour.
    struct Line {
        int left, top, right;
        unsigned rgb;
        int widthPixels;
    };
    std::vector<Line> lines;
    // The button Enter presses and the one Esc presses.
    std::string defaultButton;
    std::string cancelButton;
};

// The console frmMain: the outcome fields answer on the button-face background.
FormStyle consoleStyle(FrmMain& form);
// The About box frmAbout: fixed dialog, no icon, bold title, engraved line,
// Enter and Esc on cmdOK.
FormStyle aboutStyle();
// The resident window frmWpos1Type, whose layout is the view's: its frames
// stacked in reading order, captions left of their values.
FormStyle residentStyle();

} // namespace kvl::qt
