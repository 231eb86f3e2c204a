#include "vintrel/core/Utf8.h"

namespace vt {

namespace {

constexpr char32_t LAST_CODE_POINT = 0x10FFFF;
constexpr char32_t FIRST_SURROGATE = 0xD800;
constexpr char32_t LAST_SURROGATE = 0xDFFF;

struct Decoded {
    char32_t code_point;
    std::size_t length; // bytes taken, at least 1
    bool valid;
};

// One character from text[at], which must be inside the text. The ranges of
// the second byte keep out overlong forms (E0, F0), surrogates (ED) and values
// past U+10FFFF (F4); the lead bytes C0, C1 and F5 to FF never begin one.
Decoded decodeAt(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    std::size_t continuations = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        value = lead & 0x0Fu;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        value = lead & 0x07u;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {REPLACEMENT_CHARACTER, 1, false};
    }
    std::size_t length = 1;
    for (std::size_t i = 0; i < continuations; i++) {
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
    if (code_point > LAST_CODE_POINT || (code_point >= FIRST_SURROGATE && code_point <= LAST_SURROGATE))
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
