#include "save/SaveFile.h"

#include <cinttypes>
#include <cstdio>

#include "replay/Fnv.h"
#include "vintrel/save/SaveData.h"

namespace vt::save {

namespace {

constexpr char FIRST_LINE[] = "vintrel-save 1";
constexpr char FORMAT_NAME[] = "vintrel-save ";
constexpr char END_WORD[] = "end ";

std::string escape(const std::string& value) {
    std::string escaped;
    for (const char c : value) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\0':
            escaped += "\\0";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool unescape(const std::string& text, std::string* p_value) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\r' || text[i] == '\0')
            return false;
        if (text[i] != '\\') {
            value += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            value += '\\';
            break;
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case '0':
            value += '\0';
            break;
        default:
            return false;
        }
    }
    *p_value = value;
    return true;
}

std::string endLine(std::size_t count, std::uint64_t checksum) {
    char line[64];
    std::snprintf(line, sizeof(line), "%s%zu %016" PRIx64 "\n", END_WORD, count, checksum);
    return line;
}

bool fail(std::string* p_error, const std::string& why) {
    *p_error = why;
    return false;
}

} // namespace

bool validKey(const std::string& key) {
    if (key.empty() || key.size() > SaveData::MAX_KEY_BYTES)
        return false;
    for (const char c : key)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
              c == '_' || c == '-'))
            return false;
    return true;
}

std::string encodeSave(const std::map<std::string, std::string>& values) {
    std::string text = std::string(FIRST_LINE) + "\n";
    for (const auto& [key, value] : values)
        text += key + "=" + escape(value) + "\n";
    return text + endLine(values.size(), fnv1a(text.data(), text.size()));
}

bool decodeSave(const std::string& text, std::map<std::string, std::string>* p_values, std::string* p_error) {
    const std::size_t first_end = text.find('\n');
    const std::string first = text.substr(0, first_end);
    if (first != FIRST_LINE)
        return fail(p_error, first.rfind(FORMAT_NAME, 0) == 0
                                 ? "written in another save format ('" + first.substr(0, 40) + "')"
                                 : "not a save file");
    if (first_end == std::string::npos)
        return fail(p_error, "cut short: it ends without its end line");
    std::map<std::string, std::string> values;
    std::size_t start = first_end + 1;
    while (true) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return fail(p_error, "cut short: it ends without its end line");
        const std::string line = text.substr(start, end - start);
        if (line.rfind(END_WORD, 0) == 0) {
            if (end + 1 != text.size())
                return fail(p_error, "corrupted: text after the end line");
            if (line + "\n" != endLine(values.size(), fnv1a(text.data(), start)))
                return fail(p_error, "corrupted: the end line does not match the contents");
            *p_values = std::move(values);
            return true;
        }
        const std::size_t equals = line.find('=');
        std::string value;
        if (equals == std::string::npos || !validKey(line.substr(0, equals)) ||
            !unescape(line.substr(equals + 1), &value))
            return fail(p_error, "corrupted: a line that is no key=value");
        if (value.size() > SaveData::MAX_VALUE_BYTES || values.size() >= SaveData::MAX_ENTRIES ||
            !values.emplace(line.substr(0, equals), value).second)
            return fail(p_error, "corrupted: a value too long, a key repeated or too many keys");
        start = end + 1;
    }
}

} // namespace vt::save
