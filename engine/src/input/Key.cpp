#include "vintrel/input/Key.h"

#include <cctype>
#include <iterator>

namespace vt {

namespace {

// The names of the keys without a character of their own, by code from
// KEY_SPACE; letters, digits and F-keys are made from their codes.
constexpr const char* OTHER_KEY_NAMES[] = {
    "SPACE",  "ENTER",     "ESCAPE",       "TAB",           "LEFT",       "RIGHT",
    "UP",     "DOWN",      "PAUSE",        "MINUS",         "PLUS",       "TILDE",
    "PERIOD", "COMMA",     "SLASH",        "EQUAL",         "BACKSLASH",  "MULTIPLY",
    "QUOTE",  "SEMICOLON", "LEFT_CONTROL", "RIGHT_CONTROL", "LEFT_SHIFT", "RIGHT_SHIFT",
};
static_assert(std::size(OTHER_KEY_NAMES) == KEY_F1, "one name for every key before F1");

} // namespace

std::string keyToText(int key) {
    if (key >= KEY_A && key <= KEY_Z)
        return std::string(1, static_cast<char>('A' + (key - KEY_A)));
    if (key >= KEY_1 && key <= KEY_9)
        return std::string(1, static_cast<char>('1' + (key - KEY_1)));
    switch (key) {
    case KEY_0:
        return "0";
    case KEY_SPACE:
        return " ";
    case KEY_MINUS:
        return "-";
    case KEY_PLUS:
        return "+";
    case KEY_TILDE:
        return "~";
    case KEY_PERIOD:
        return ".";
    case KEY_COMMA:
        return ",";
    case KEY_SLASH:
        return "/";
    case KEY_EQUAL:
        return "=";
    case KEY_BACKSLASH:
        return "\\";
    case KEY_MULTIPLY:
        return "*";
    case KEY_QUOTE:
        return "'";
    case KEY_SEMICOLON:
        return ";";
    case KEY_LEFT_BRACKET:
        return "[";
    case KEY_RIGHT_BRACKET:
        return "]";
    case KEY_BACKTICK:
        return "`";
    default:
        return "";
    }
}

std::string keyToName(int key) {
    if (key >= KEY_SPACE && key < KEY_F1)
        return OTHER_KEY_NAMES[key];
    if (key >= KEY_F1 && key <= KEY_F12)
        return "F" + std::to_string(key - KEY_F1 + 1);
    if ((key >= KEY_A && key <= KEY_0))
        return keyToText(key);
    switch (key) {
    case KEY_BACKSPACE:
        return "BACKSPACE";
    case KEY_LEFT_BRACKET:
        return "LEFT_BRACKET";
    case KEY_RIGHT_BRACKET:
        return "RIGHT_BRACKET";
    case KEY_BACKTICK:
        return "BACKTICK";
    default:
        return "";
    }
}

Key keyFromName(const std::string& name) {
    std::string upper;
    for (const char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int key = KEY_SPACE; key <= KEY_BACKTICK; key++)
        if (!upper.empty() && keyToName(key) == upper)
            return static_cast<Key>(key);
    return KEY_UNDEFINED;
}

} // namespace vt
