#include "vintrel/media/Frame.h"

#include <cstddef>

#include "vintrel/media/DisplayManager.h"

namespace vt {

Frame::Frame() : m_width(0), m_height(0), m_frame_str() {}

Frame::Frame(int width, int height, const std::string& frame_str)
    : m_width(width), m_height(height), m_frame_str(frame_str) {}

int Frame::draw(const Vector& position, Color color, char transparency) const {
    if (m_frame_str.empty() || m_height <= 0)
        return 0;

    DisplayManager& display_manager = DisplayManager::getInstance();
    const float hx = static_cast<float>(m_width - 1) * 0.5f;
    const float hy = static_cast<float>(m_height - 1) * 0.5f;
    // 64-bit indices: width x height of a frame built in code may exceed int.
    const long long size = static_cast<long long>(m_frame_str.size());
    for (int y = 0; y < m_height; y++) {
        const long long row_start = static_cast<long long>(y) * m_width;
        for (int x = 0; x < m_width; x++) {
            const long long index = row_start + x;
            if (index >= size)
                return 0;
            const char c = m_frame_str[static_cast<std::size_t>(index)];
            if (transparency != 0 && c == transparency)
                continue;
            const Vector cell(position.getX() + static_cast<float>(x) - hx,
                              position.getY() + static_cast<float>(y) - hy);
            if (display_manager.drawCharacter(cell, c, color, 0.0f) != 0)
                return -1;
        }
    }
    return 0;
}

} // namespace vt
