#pragma once

#include <cstddef>

// The monospaced TrueType font carried inside the library (Agave Regular,
// MIT licence, LICENSES/Agave.txt), so that a game without a font file still
// draws text. Its source is generated at build time by cmake/EmbedFont.cmake.
namespace vt::builtin_font {

/// The font file's bytes; static, valid for the whole run.
const unsigned char* data();
/// Number of bytes; 0 when the library was built without the font.
std::size_t size();

} // namespace vt::builtin_font
