#include "vintrel/media/Sprite.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "vintrel/core/LogManager.h"

namespace vt {

namespace {
// Slots reserved up front; larger sprites grow as frames are pushed.
constexpr int INITIAL_FRAME_SLOTS = 16;
} // namespace

Sprite::Sprite(int max_frames)
    : m_width(0), m_height(0), m_max_frame_count(0), m_frame_count(0), m_color(WHITE), m_slowdown(1),
      m_transparency(0), m_frames(), m_label("[Undefined]") {
    if (max_frames < 0) {
        LogManager::getInstance().writeLog("Sprite::Sprite(): Error! Unable to allocate %d frames.",
                                           max_frames);
        return;
    }
    m_frames.reserve(static_cast<std::size_t>(std::min(max_frames, INITIAL_FRAME_SLOTS)));
    m_max_frame_count = max_frames;
}

int Sprite::pushFrame(const Frame& frame) {
    if (m_frame_count >= m_max_frame_count)
        return -1;
    m_frames.push_back(frame);
    m_frame_count++;
    return 0;
}

Frame Sprite::getFrame(int index) const {
    if (index < 0 || index >= m_frame_count)
        return Frame();
    return m_frames[static_cast<std::size_t>(index)];
}

void Sprite::takeFramesOf(Sprite& other) {
    m_width = other.m_width;
    m_height = other.m_height;
    m_max_frame_count = other.m_max_frame_count;
    m_frame_count = other.m_frame_count;
    m_color = other.m_color;
    m_slowdown = other.m_slowdown;
    m_transparency = other.m_transparency;
    m_frames = std::move(other.m_frames);
    other.m_frames.clear();
    other.m_frame_count = 0;
}

int Sprite::draw(int frame_number, const Vector& position, char transparency) const {
    if (frame_number < 0 || frame_number >= m_frame_count)
        return 0;
    return m_frames[static_cast<std::size_t>(frame_number)].draw(position, m_color, transparency);
}

} // namespace vt
