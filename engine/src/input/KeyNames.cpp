#include "input/KeyNames.h"

#include <iterator>

namespace vt::sfml {

namespace {

// Indexed by the library's key code: A-Z 0-25, Num0-9 26-35, Escape 36 ... Pause 100.
const char* const KEY_NAMES[] = {
    "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
    "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "Escape", "Left Control", "Left Shift", "Left Alt", "Left System",
    "Right Control", "Right Shift", "Right Alt", "Right System", "Menu",
    "[", "]", ";", ",", ".", "'", "/", "\\", "`", "=", "-",
    "Space", "Enter", "Backspace", "Tab",
    "Page Up", "Page Down", "End", "Home", "Insert", "Delete",
    "+ (Numpad)", "- (Numpad)", "* (Numpad)", "/ (Numpad)",
    "Left Arrow", "Right Arrow", "Up Arrow", "Down Arrow",
    "0 (Numpad)", "1 (Numpad)", "2 (Numpad)", "3 (Numpad)", "4 (Numpad)",
    "5 (Numpad)", "6 (Numpad)", "7 (Numpad)", "8 (Numpad)", "9 (Numpad)",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10",
    "F11", "F12", "F13", "F14", "F15",
    "Pause",
};
static_assert(std::size(KEY_NAMES) == 101, "one name per key code up to Pause");

} // namespace

std::string keyName(int sfml_key_code) {
    if (sfml_key_code < 0 || sfml_key_code >= static_cast<int>(std::size(KEY_NAMES)))
        return "Unknown";
    return KEY_NAMES[sfml_key_code];
}

} // namespace vt::sfml
