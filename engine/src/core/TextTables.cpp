#include "core/TextTables.h"

#include <climits>
#include <cstddef>

#include "vintrel/events/Event.h"

namespace vt::text {

namespace {

const char* const NETWORK_EVENTS[] = {
    EVENT_NETWORK,          EVENT_NETWORK_ACCEPT, EVENT_NETWORK_CLOSE,  EVENT_NETWORK_CONNECT,
    EVENT_NETWORK_CREATE,   EVENT_NETWORK_DELETE, EVENT_NETWORK_SYNC,   EVENT_NETWORK_GAME_OVER,
    EVENT_KEYBOARD_NETWORK, EVENT_MOUSE_NETWORK,  EVENT_CUSTOM_NETWORK,
};

// isspace in the C locale, without its dependence on the current one.
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

} // namespace

const char* boolText(bool value) { return value ? "true" : "false"; }

int toInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        i++;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        i++;
    }
    // One past INT_MAX in magnitude, so that INT_MIN itself still reads exactly.
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            value = limit;
        i++;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

bool colorFromName(const std::string& name, Color* p_color) {
    for (std::size_t i = 0; i < sizeof(COLOR_NAMES) / sizeof(COLOR_NAMES[0]); i++) {
        if (name == COLOR_NAMES[i]) {
            *p_color = static_cast<Color>(i);
            return true;
        }
    }
    return false;
}

bool isNetworkEvent(const std::string& event_type) {
    for (const char* name : NETWORK_EVENTS)
        if (event_type == name)
            return true;
    return false;
}

} // namespace vt::text
