#include "vintrel/media/Frame.h"

#include <cstddef>

#include "vintrel/media/DisplayManager.h"

namespace vt {

Frame::Frame() : m_width(0), m_height(0), m_frame_str(), m_cells() {}

Frame::Frame(int width, int height, const std::string& frame_str)
    : m_width(width), m_height(height), m_frame_str(frame_str), m_cells() {}

Frame::Frame(int width, int height, const std::u32string& cells)
    : m_width(width), m_height(height), m_frame_str(encodeUtf8(cells)), m_cells(cells) {}

int Frame::draw(const Vector& position, Color color, char transparency) const {
    return drawCells(position, color, static_cast<unsigned char>(transparency));
}

template <typename CodePoint, IfCodePoint<CodePoint>>
int Frame::draw(const Vector& position, Color color, CodePoint transparency) const {
    return drawCells(position, color, transparency);
}

template int Frame::draw<char32_t>(const Vector&, Color, char32_t) const;

int Frame::drawCells(const Vector& position, Color color, char32_t transparency) const {
    if (m_frame_str.empty() || m_height <= 0)
        return 0;

    DisplayManager& display_manager = DisplayManager::getInstance();
    const bool code_points = !m_cells.empty();
    const float hx = static_cast<float>(m_width - 1) * 0.5f;
    const float hy = static_cast<float>(m_height - 1) * 0.5f;
    // 64-bit indices: width x height of a frame built in code may exceed int.
    const long long size = static_cast<long long>(code_points ? m_cells.size() : m_frame_str.size());
    for (int y = 0; y < m_height; y++) {
        const long long row_start = static_cast<long long>(y) * m_width;
        for (int x = 0; x < m_width; x++) {
            const long long index = row_start + x;
            if (index >= size)
                return 0;
            const auto at = static_cast<std::size_t>(index);
            const char byte = code_points ? '\0' : m_frame_str[at];
            const char32_t cell = code_points ? m_cells[at] : static_cast<unsigned char>(byte);
            if (transparency != 0 && cell == transparency)
                continue;
            const Vector place(position.getX() + static_cast<float>(x) - hx,
                               position.getY() + static_cast<float>(y) - hy);
            const int result = code_points ? display_manager.drawCharacter(place, cell, color, 0.0f)
                                           : display_manager.drawCharacter(place, byte, color, 0.0f);
            if (result != 0)
                return -1;
        }
    }
    return 0;
}

} // namespace vt
