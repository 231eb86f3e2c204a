#include "vintrel/core/Utf8.h"

namespace vt {

namespace {

struct Decoded {
    char32_t code_point;
    std::size_t length; // bytes taken, at least 1
    bool valid;
};

// The lead bytes that begin a well-formed sequence: how many continuation
// bytes follow, the lead's bits of the value, and the range of the second
// byte, which keeps out overlong forms (E0, F0), surrogates (ED) and values
// past U+10FFFF (F4). The lead bytes C0, C1 and F5 to FF never begin one.
struct LeadBytes {
    unsigned char first;
    unsigned char last;
    std::size_t continuations;
    unsigned char value_bits;
    unsigned char second_low;
    unsigned char second_high;
};

constexpr LeadBytes LEAD_BYTES[] = {
    {0xC2, 0xDF, 1, 0x1F, 0x80, 0xBF}, // U+0080 to U+07FF
    {0xE0, 0xE0, 2, 0x0F, 0xA0, 0xBF}, // U+0800 to U+0FFF
    {0xE1, 0xEC, 2, 0x0F, 0x80, 0xBF}, // U+1000 to U+CFFF
    {0xED, 0xED, 2, 0x0F, 0x80, 0x9F}, // U+D000 to U+D7FF
    {0xEE, 0xEF, 2, 0x0F, 0x80, 0xBF}, // U+E000 to U+FFFF
    {0xF0, 0xF0, 3, 0x07, 0x90, 0xBF}, // U+10000 to U+3FFFF
    {0xF1, 0xF3, 3, 0x07, 0x80, 0xBF}, // U+40000 to U+FFFFF
    {0xF4, 0xF4, 3, 0x07, 0x80, 0x8F}, // U+100000 to U+10FFFF
};

// One character from text[at], which must be inside the text.
Decoded decodeAt(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    const LeadBytes* p_lead = nullptr;
    for (const LeadBytes& lead_bytes : LEAD_BYTES)
        if (lead >= lead_bytes.first && lead <= lead_bytes.last) {
            p_lead = &lead_bytes;
            break;
        }
    if (!p_lead)
        return {REPLACEMENT_CHARACTER, 1, false};
    auto value = static_cast<char32_t>(lead & p_lead->value_bits);
    unsigned char low = p_lead->second_low;
    unsigned char high = p_lead->second_high;
    std::size_t length = 1;
    for (std::size_t i = 0; i < p_lead->continuations; i++) {
        if (at + length >= text.size())
            return {REPLACEMENT_CHARACTER, length, false};
        const auto byte = static_cast<unsigned char>(text[at + length]);
        if (byte < low || byte > high)
            return {REPLACEMENT_CHARACTER, length, false};
        value = (value << 6) | (byte & 0x3Fu);
        length++;
        low = 0x80;
        high = 0xBF;
    }
    return {value, length, true};
}

} // namespace

bool decodeUtf8(const std::string& text, std::u32string& code_points) {
    code_points.clear();
    code_points.reserve(text.size());
    bool valid = true;
    for (std::size_t at = 0; at < text.size();) {
        const Decoded decoded = decodeAt(text, at);
        code_points.push_back(decoded.code_point);
        valid = valid && decoded.valid;
        at += decoded.length;
    }
    return valid;
}

void appendUtf8(std::string& text, char32_t code_point) {
    if (!isScalarValue(code_point))
        code_point = REPLACEMENT_CHARACTER;
    auto byte = [](char32_t bits) { return static_cast<char>(static_cast<unsigned char>(bits)); };
    if (code_point < 0x80) {
        text += byte(code_point);
    } else if (code_point < 0x800) {
        text += byte(0xC0 | (code_point >> 6));
        text += byte(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        text += byte(0xE0 | (code_point >> 12));
        text += byte(0x80 | ((code_point >> 6) & 0x3F));
        text += byte(0x80 | (code_point & 0x3F));
    } else {
        text += byte(0xF0 | (code_point >> 18));
        text += byte(0x80 | ((code_point >> 12) & 0x3F));
        text += byte(0x80 | ((code_point >> 6) & 0x3F));
        text += byte(0x80 | (code_point & 0x3F));
    }
}

std::string encodeUtf8(const std::u32string& code_points) {
    std::string text;
    text.reserve(code_points.size());
    for (const char32_t code_point : code_points)
        appendUtf8(text, code_point);
    return text;
}

std::size_t findInvalidUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const Decoded decoded = decodeAt(text, at);
        if (!decoded.valid)
            return at;
        at += decoded.length;
    }
    return std::string::npos;
}

std::size_t countUtf8Cells(const std::string& text) {
    std::size_t cells = 0;
    for (std::size_t at = 0; at < text.size(); cells++)
        at += decodeAt(text, at).length;
    return cells;
}

std::string clipUtf8(const std::string& text, std::size_t max_bytes) {
    if (text.size() <= max_bytes)
        return text;
    // A character is at most four bytes: at most three continuation bytes lie before the cut.
    std::size_t length = max_bytes;
    while (length > 0 && max_bytes - length < 3 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        length--;
    if ((static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        length = max_bytes;
    return text.substr(0, length);
}

} // namespace vt
