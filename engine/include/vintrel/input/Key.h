#pragma once

#include <string>

namespace vt {

/// The engine's key codes, carried by keyboard events. They do not follow the
/// window library's numbering, so games never depend on it.
enum Key : int {
    KEY_UNDEFINED = -1,
    KEY_SPACE = 0,
    KEY_ENTER,
    KEY_ESCAPE,
    KEY_TAB,
    KEY_LEFT,
    KEY_RIGHT,
    KEY_UP,
    KEY_DOWN,
    KEY_PAUSE,
    KEY_MINUS,
    KEY_PLUS,
    KEY_TILDE,
    KEY_PERIOD,
    KEY_COMMA,
    KEY_SLASH,
    KEY_EQUAL,
    KEY_BACKSLASH,
    KEY_MULTIPLY,
    KEY_QUOTE,
    KEY_SEMICOLON,
    KEY_LEFT_CONTROL,
    KEY_RIGHT_CONTROL,
    KEY_LEFT_SHIFT,
    KEY_RIGHT_SHIFT,
    KEY_F1,
    KEY_F2,
    KEY_F3,
    KEY_F4,
    KEY_F5,
    KEY_F6,
    KEY_F7,
    KEY_F8,
    KEY_F9,
    KEY_F10,
    KEY_F11,
    KEY_F12,
    KEY_A,
    KEY_B,
    KEY_C,
    KEY_D,
    KEY_E,
    KEY_F,
    KEY_G,
    KEY_H,
    KEY_I,
    KEY_J,
    KEY_K,
    KEY_L,
    KEY_M,
    KEY_N,
    KEY_O,
    KEY_P,
    KEY_Q,
    KEY_R,
    KEY_S,
    KEY_T,
    KEY_U,
    KEY_V,
    KEY_W,
    KEY_X,
    KEY_Y,
    KEY_Z,
    KEY_1,
    KEY_2,
    KEY_3,
    KEY_4,
    KEY_5,
    KEY_6,
    KEY_7,
    KEY_8,
    KEY_9,
    KEY_0,
    KEY_BACKSPACE,
    KEY_LEFT_BRACKET = 74, // 73 is left free
    KEY_RIGHT_BRACKET,
    KEY_BACKTICK,
};

/// The one character a key stands for ("A", "7", "+"), or "" for keys that
/// type no character and for values that are no key.
std::string keyToText(int key);

/// The key's name in configuration files: its code's name without "KEY_"
/// ("SPACE", "A", "F10", "1", "LEFT_BRACKET"); "" for values that are no key.
std::string keyToName(int key);

/// The key a name of keyToName stands for, in any case ("space", "Space");
/// KEY_UNDEFINED for any other text.
Key keyFromName(const std::string& name);

} // namespace vt
