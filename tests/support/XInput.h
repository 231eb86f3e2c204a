#pragma once

#include <string>

namespace vt::test {

/// Drives one X window as a user would: real key and button events through
/// the XTest extension, pointer moves, and the window manager's close
/// request. Opens its own connection to the display, so it may be used from
/// another thread than the one that owns the window.
class XInput {
  public:
    /// The window is the X id of the engine's window.
    explicit XInput(unsigned long window);
    ~XInput();
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;

    /// True when the display and the XTest extension are there.
    bool isOpen() const;
    /// Waits until the window is shown, then gives it the keyboard focus.
    bool focus();

    /// Key by X keysym name: "a", "F10", "Alt_R", "space".
    bool keyDown(const std::string& keysym);
    bool keyUp(const std::string& keysym);
    /// Pointer to pixel (x, y) of the window.
    bool moveTo(int x, int y);
    /// Button 1 left, 2 middle, 3 right.
    bool buttonDown(int button);
    bool buttonUp(int button);
    /// Asks the window to close, as a window manager's close button does.
    bool requestClose();
    /// Gives the window a new size in pixels, as a user dragging its edge does.
    bool resize(int width, int height);

  private:
    bool key(const std::string& keysym, bool down);
    bool button(int button, bool down);

    void* m_display; // Display*, kept opaque so Xlib's macros stay out of tests
    unsigned long m_window;
};

} // namespace vt::test
