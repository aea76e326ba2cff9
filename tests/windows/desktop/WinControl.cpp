// Tells the desktop tests where a window of the program is and what it shows,
// by the names of the program's models that its windows carry:
//
//   wincontrol FORM [CONTROL] rect      x y width height on the screen
//   wincontrol FORM [CONTROL] text      the window's text
//   wincontrol FORM visible             1 when the form's window is shown, else 0
//   wincontrol menu rect                the pop-up menu on the screen
//   wincontrol box rect|text            the message box on the screen, its text
//
// FORM is a form's name (frmMain, frmWpos1Type, frmAbout), CONTROL one of its
// controls' names. Exit status 1 when there is no such window.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(::GetPropA(window, "KvlControlName")));
    char name[256] = {};
    if (!atom || !::GlobalGetAtomNameA(atom, name, sizeof name) || search.name != name)
        return TRUE;
    search.found = window;
    return FALSE;
}

// Asked of the window itself: an edit box of another process keeps its text
// where only WM_GETTEXT reaches it.
std::string textOf(HWND window) {
    char text[4096] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

HWND findWindow(const std::string& form, const std::string& control) {
    // The visible top-level window of a system class: "#32768" a pop-up
    // menu, "#32770" a dialog such as a message box.
    if (form == "menu" || form == "box") {
        HWND window = nullptr;
        do
            window =
                ::FindWindowExA(nullptr, window, form == "menu" ? "#32768" : "#32770", nullptr);
        while (window && !::IsWindowVisible(window));
        return window;
    }
    Search top{form};
    ::EnumWindows(&match, reinterpret_cast<LPARAM>(&top));
    if (!top.found || control.empty())
        return top.found;
    Search child{control};
    ::EnumChildWindows(top.found, &match, reinterpret_cast<LPARAM>(&child));
    return child.found;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: wincontrol FORM [CONTROL] rect|text|visible\n");
        return 2;
    }
    const std::string question = argv[argc - 1];
    const HWND window = findWindow(argv[1], argc == 4 ? argv[2] : "");
    if (!window)
        return 1;
    RECT area{};
    if (question == "rect" && ::GetWindowRect(window, &area)) {
        std::printf("%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left,
                    area.bottom - area.top);
    } else if (question == "text") {
        // A message box's text is that of its static texts, not its icon.
        const bool box = std::string(argv[1]) == "box";
        std::string text = box ? "" : textOf(window);
        for (HWND part = nullptr; box && (part = ::FindWindowExA(window, part, "Static", nullptr));)
            text += textOf(part);
        std::printf("%s\n", text.c_str());
    } else if (question == "visible") {
        std::printf("%d\n", ::IsWindowVisible(window) ? 1 : 0);
    } else {
        return 2;
    }
}
