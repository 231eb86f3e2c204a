#include "support/XInput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace vt::test {

namespace {

Display* asDisplay(void* p) { return static_cast<Display*>(p); }

// A focus request that races the window's mapping would end the test
// process through Xlib's default handler; report it as a failure instead.
int ignoreError(Display*, XErrorEvent*) { return 0; }

} // namespace

XInput::XInput(unsigned long window) : m_display(XOpenDisplay(nullptr)), m_window(window) {
    if (m_display != nullptr)
        XSetErrorHandler(ignoreError);
}

XInput::~XInput() {
    if (m_display != nullptr)
        XCloseDisplay(asDisplay(m_display));
}

bool XInput::isOpen() const {
    if (m_display == nullptr)
        return false;
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    return XTestQueryExtension(asDisplay(m_display), &event_base, &error_base, &major, &minor) != 0;
}

bool XInput::focus() {
    if (!isOpen())
        return false;
    Display* display = asDisplay(m_display);
    for (int attempt = 0; attempt < 200; attempt++) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, m_window, &attributes) != 0 && attributes.map_state == IsViewable) {
            XSetInputFocus(display, m_window, RevertToParent, CurrentTime);
            XSync(display, False);
            Window focused = 0;
            int revert = 0;
            XGetInputFocus(display, &focused, &revert);
            if (focused == m_window)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool XInput::key(const std::string& keysym, bool down) {
    if (!isOpen())
        return false;
    Display* display = asDisplay(m_display);
    const KeySym sym = XStringToKeysym(keysym.c_str());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
    if (code == 0)
        return false;
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
    return true;
}

bool XInput::keyDown(const std::string& keysym) { return key(keysym, true); }

bool XInput::keyUp(const std::string& keysym) { return key(keysym, false); }

bool XInput::moveTo(int x, int y) {
    if (!isOpen())
        return false;
    Display* display = asDisplay(m_display);
    int root_x = 0, root_y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, m_window, DefaultRootWindow(display), x, y, &root_x, &root_y, &child))
        return false;
    XTestFakeMotionEvent(display, DefaultScreen(display), root_x, root_y, CurrentTime);
    XSync(display, False);
    return true;
}

bool XInput::button(int number, bool down) {
    if (!isOpen())
        return false;
    Display* display = asDisplay(m_display);
    XTestFakeButtonEvent(display, static_cast<unsigned>(number), down ? True : False, CurrentTime);
    XSync(display, False);
    return true;
}

bool XInput::buttonDown(int number) { return button(number, true); }

bool XInput::buttonUp(int number) { return button(number, false); }

bool XInput::requestClose() {
    if (m_display == nullptr)
        return false;
    Display* display = asDisplay(m_display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, m_window, False, NoEventMask, &event);
    XSync(display, False);
    return sent != 0;
}

bool XInput::resize(int width, int height) {
    if (m_display == nullptr)
        return false;
    Display* display = asDisplay(m_display);
    XResizeWindow(display, m_window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
    return true;
}

} // namespace vt::test
