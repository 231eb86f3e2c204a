#include "platform/DisplayConnection.h"

#include <X11/Xlib.h>

namespace vt::platform {

bool canOpenDisplay(std::string* p_name) {
    const char* name = XDisplayName(nullptr);
    *p_name = name != nullptr ? name : "";
    Display* p_display = XOpenDisplay(nullptr);
    if (p_display == nullptr)
        return false;
    XCloseDisplay(p_display);
    return true;
}

} // namespace vt::platform
