#include "platform/DisplayConnection.h"

#include <X11/Xlib.h>

#include "platform/SystemClock.h"

namespace vt::platform {

namespace {

// A resetting server is back within milliseconds; a display that still
// refuses after this long is not there.
constexpr int CONNECT_ATTEMPTS = 10;
constexpr int MICROSECONDS_BETWEEN_ATTEMPTS = 100000;

} // namespace

DisplayConnection::~DisplayConnection() { close(); }

bool DisplayConnection::open() {
    close();
    const char* name = XDisplayName(nullptr);
    m_name = name != nullptr ? name : "";
    // Without a name there is nothing to wait for.
    const int attempts = m_name.empty() ? 1 : CONNECT_ATTEMPTS;
    for (int attempt = 0; attempt < attempts && m_p_display == nullptr; attempt++) {
        if (attempt > 0)
            sleepMicroseconds(MICROSECONDS_BETWEEN_ATTEMPTS);
        m_p_display = XOpenDisplay(nullptr);
    }
    return m_p_display != nullptr;
}

void DisplayConnection::close() {
    if (m_p_display == nullptr)
        return;
    XCloseDisplay(static_cast<Display*>(m_p_display));
    m_p_display = nullptr;
}

} // namespace vt::platform
