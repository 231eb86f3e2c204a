#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

namespace vt {

/// What ill-formed UTF-8 is drawn as: U+FFFD REPLACEMENT CHARACTER.
constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

/// The last code point there is, U+10FFFF.
constexpr char32_t LAST_CODE_POINT = 0x10FFFF;

/// True for a Unicode scalar value: a code point up to LAST_CODE_POINT that
/// is not a surrogate (U+D800 to U+DFFF), the only kind UTF-8 can carry.
constexpr bool isScalarValue(char32_t code_point) {
    return code_point <= LAST_CODE_POINT && (code_point < 0xD800 || code_point > 0xDFFF);
}

/// Enables a function template for char32_t arguments alone. The char32_t
/// forms of the character calls are such templates, so that a call written
/// for the char form (with 0, an int or anything else that converts to char)
/// still chooses the char form, exactly as before the char32_t forms existed.
template <typename CodePoint> using IfCodePoint = std::enable_if_t<std::is_same_v<CodePoint, char32_t>, int>;

/// Decodes UTF-8 text into its code points. Every ill-formed part (a stray
/// continuation byte, a sequence cut short, an overlong form, a surrogate, a
/// value past U+10FFFF) becomes one REPLACEMENT_CHARACTER, its longest
/// well-begun prefix taken as one part. Nothing past the text is read.
/// False when there was such a part.
bool decodeUtf8(const std::string& text, std::u32string& code_points);

/// Appends the UTF-8 form of a code point; anything that is not a Unicode
/// scalar value (a surrogate, or past U+10FFFF) is written as REPLACEMENT_CHARACTER.
void appendUtf8(std::string& text, char32_t code_point);

/// The UTF-8 form of code points, each as appendUtf8 writes it.
std::string encodeUtf8(const std::u32string& code_points);

/// The offset of the first byte of the first ill-formed part of the text, or
/// std::string::npos when the text is well-formed UTF-8.
std::size_t findInvalidUtf8(const std::string& text);

/// The number of cells the text takes when drawn: its code points, each
/// ill-formed part counted once, as decodeUtf8 yields them.
std::size_t countUtf8Cells(const std::string& text);

/// The text cut to at most max_bytes bytes, backing off to the start of a
/// character that the cut would split.
std::string clipUtf8(const std::string& text, std::size_t max_bytes);

} // namespace vt
