#include "vintrel/core/Text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>
#include <vector>

#include "platform/LocalTime.h"
#include "vintrel/core/LogManager.h"

namespace vt {

namespace {

// match() keeps the tables of its last parse until the next call.
std::vector<std::string> g_match_keys;
std::vector<std::string> g_match_values;

} // namespace

std::string match(std::string text, const std::string& key) {
    LogManager& lm = LogManager::getInstance();
    lm.writeLog(25, "match(\"%s\", \"%s\")", clipForLog(text).c_str(), clipForLog(key).c_str());

    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            compact += c;

    g_match_keys.clear();
    g_match_values.clear();
    std::size_t slots = 1;
    for (char c : compact)
        if (c == ',')
            slots++;
    lm.writeLog(25, "match(): number of elements allocated is %d", static_cast<int>(slots));
    g_match_keys.reserve(slots);
    g_match_values.reserve(slots);

    // Entries split at ','; empty pieces are skipped, as strtok does.
    int item = 0;
    std::size_t pos = 0;
    while (pos < compact.size()) {
        const std::size_t comma = compact.find(',', pos);
        const std::size_t end = comma == std::string::npos ? compact.size() : comma;
        if (end == pos) {
            pos = end + 1;
            continue;
        }
        const std::string element = compact.substr(pos, end - pos);
        pos = end + 1;

        lm.writeLog(25, "\titem number %d", item);
        lm.writeLog(28, "\tp_element is '%s' (%p)", clipForLog(element).c_str(),
                    static_cast<const void*>(element.c_str()));

        std::size_t key_start = element.find_first_not_of(':');
        if (key_start == std::string::npos)
            break;
        std::size_t key_end = element.find(':', key_start);
        if (key_end == std::string::npos)
            key_end = element.size();
        const std::string token = element.substr(key_start, key_end - key_start);
        lm.writeLog(28, "\ttoken is '%s' (%p)", clipForLog(token).c_str(),
                    static_cast<const void*>(token.c_str()));
        lm.writeLog(25, "\tkey %s", clipForLog(token).c_str());

        std::string value;
        const std::size_t value_start = element.find_first_not_of(':', key_end);
        if (value_start != std::string::npos) {
            const std::size_t value_end = element.find(':', value_start);
            value = element.substr(value_start, value_end == std::string::npos ? std::string::npos
                                                                               : value_end - value_start);
        }
        lm.writeLog(25, "\tval %s", clipForLog(value).c_str());
        g_match_keys.push_back(token);
        g_match_values.push_back(value);
        item++;
    }

    lm.writeLog(25, "match(): parsed.");
    for (std::size_t i = 0; i < g_match_keys.size(); i++)
        lm.writeLog(28, "\t%d  %s : %s", static_cast<int>(i), clipForLog(g_match_keys[i]).c_str(),
                    clipForLog(g_match_values[i]).c_str());

    lm.writeLog(25, "match(): Looking for match '%s' among %d items.", clipForLog(key).c_str(),
                static_cast<int>(g_match_keys.size()));
    for (std::size_t i = 0; i < g_match_keys.size(); i++) {
        lm.writeLog(28, "match(): %d: %s == %s?", static_cast<int>(i), clipForLog(key).c_str(),
                    clipForLog(g_match_keys[i]).c_str());
        if (g_match_keys[i] == key)
            return g_match_values[i];
    }
    return "";
}

std::string toString(int value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

std::string toString(float value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

std::string toBitString(std::uint32_t value) {
    std::string bits(32, '0');
    for (int i = 0; i < 32; i++)
        if (value & (1u << (31 - i)))
            bits[static_cast<std::size_t>(i)] = '1';
    return bits;
}

std::string clipForLog(const std::string& text) {
    std::size_t length = std::min(text.size(), MAX_QUOTED_CHARS);
    const bool cut = length < text.size();
    // A cut never splits a UTF-8 sequence: it backs off to the sequence's start.
    if (cut)
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            length--;
    std::string clipped = text.substr(0, length);
    for (char& c : clipped) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            c = '?';
    }
    if (cut)
        clipped += "...";
    return clipped;
}

int checkStream(const std::string& where, const std::ios& stream) {
    if (stream.good())
        return 0;
    LogManager& lm = LogManager::getInstance();
    if (stream.eof())
        lm.writeLog("%s: Error! Stream eof.", where.c_str());
    else if (stream.fail())
        lm.writeLog("%s: Error! Stream fail.", where.c_str());
    else if (stream.bad())
        lm.writeLog("%s: Error! Stream bad.", where.c_str());
    else
        lm.writeLog("%s: Error! Stream error.", where.c_str());
    return -1;
}

const char* getTimeString() {
    static char time_str[32];
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (platform::localTimeOfDay(&hours, &minutes, &seconds) == 0)
        std::snprintf(time_str, sizeof(time_str), "%02d:%02d:%02d", hours, minutes, seconds);
    else
        std::snprintf(time_str, sizeof(time_str), "(time error)");
    return time_str;
}

} // namespace vt
