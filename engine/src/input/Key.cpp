#include "vintrel/input/Key.h"

namespace vt {

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

} // namespace vt
