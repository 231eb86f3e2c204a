#include "vintrel/media/Animation.h"

#include <algorithm>
#include <cstdint>
#include <istream>
#include <ostream>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/media/Sprite.h"

namespace vt {

namespace {
// Longest sprite name a record may carry. Names are labels; anything longer
// is a damaged or hostile record, refused before any allocation.
constexpr std::uint64_t MAX_NAME_LENGTH = 1u << 20;
// The name is read in pieces so that a length field promising more bytes
// than the stream holds never allocates more than what actually arrives.
constexpr std::size_t NAME_CHUNK = 4096;
} // namespace

Animation::Animation() : m_p_sprite(nullptr), m_index(0), m_slowdown_count(0), m_name() {}

void Animation::setSprite(Sprite* p_sprite) {
    if (p_sprite && p_sprite->getLabel() != m_name)
        m_name = p_sprite->getLabel();
    m_p_sprite = p_sprite;
    m_index = 0;
}

int Animation::draw(const Vector& position) {
    if (!m_p_sprite)
        return 0;

    const int result = m_p_sprite->draw(m_index, position, m_p_sprite->getTransparencyCodePoint());
    if (m_slowdown_count == -1)
        return result;

    // Counted wide: a count read from a record may already sit at the top of int.
    const long long count = static_cast<long long>(m_slowdown_count) + 1;
    if (count < m_p_sprite->getSlowdown()) {
        m_slowdown_count = static_cast<int>(count);
        return result;
    }
    m_slowdown_count = 0;
    if (m_index >= m_p_sprite->getFrameCount() - 1)
        m_index = 0;
    else
        m_index++;
    return result;
}

Box Animation::getBox() const {
    if (!m_p_sprite)
        return Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f);
    const float width = static_cast<float>(m_p_sprite->getWidth());
    const float height = static_cast<float>(m_p_sprite->getHeight());
    return Box(Vector(-width * 0.5f, -height * 0.5f), width, height);
}

int Animation::serialize(std::ostream& stream) const {
    const std::uint64_t length = m_name.size();
    const std::int32_t index = m_index;
    const std::int32_t slowdown_count = m_slowdown_count;
    stream.write(reinterpret_cast<const char*>(&length), sizeof(length));
    stream.write(m_name.data(), static_cast<std::streamsize>(m_name.size()));
    stream.write(reinterpret_cast<const char*>(&index), sizeof(index));
    stream.write(reinterpret_cast<const char*>(&slowdown_count), sizeof(slowdown_count));
    return checkStream("Animation::serialize()", stream);
}

int Animation::deserialize(std::istream& stream) {
    std::uint64_t length = 0;
    stream.read(reinterpret_cast<char*>(&length), sizeof(length));
    if (checkStream("Animation::deserialize()", stream) != 0)
        return -1;
    if (length > MAX_NAME_LENGTH) {
        LogManager::getInstance().writeLog("Animation::deserialize(): Error! Cannot allocate %llu bytes.",
                                           static_cast<unsigned long long>(length));
        return -1;
    }

    std::string name;
    std::uint64_t remaining = length;
    char chunk[NAME_CHUNK];
    while (remaining > 0 && stream.good()) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, NAME_CHUNK));
        stream.read(chunk, static_cast<std::streamsize>(want));
        name.append(chunk, static_cast<std::size_t>(stream.gcount()));
        remaining -= static_cast<std::uint64_t>(stream.gcount());
    }
    const std::size_t zero = name.find('\0');
    if (zero != std::string::npos)
        name.erase(zero);

    std::int32_t index = 0;
    std::int32_t slowdown_count = 0;
    stream.read(reinterpret_cast<char*>(&index), sizeof(index));
    stream.read(reinterpret_cast<char*>(&slowdown_count), sizeof(slowdown_count));
    if (checkStream("Animation::deserialize()", stream) != 0)
        return -1;

    m_name = name;
    m_index = index;
    m_slowdown_count = slowdown_count;
    return 0;
}

std::string Animation::toString() const {
    return "sprite " + m_name + ", frame_idx " + vt::toString(m_index);
}

} // namespace vt
