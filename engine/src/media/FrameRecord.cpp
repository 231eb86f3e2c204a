#include "media/FrameRecord.h"

#include <utility>

namespace vt {

void FrameRecord::Frame::clear() {
    vertices.clear();
    figures.clear();
    draws.clear();
    weight = 0;
    whole = true;
}

bool FrameRecord::keep(std::size_t weight) {
    if (weight <= MAX_VERTICES - m_drawing.weight) {
        m_drawing.weight += weight;
        return true;
    }
    // Part of a frame would show a different picture: none is kept.
    m_drawing.clear();
    m_drawing.whole = false;
    return false;
}

void FrameRecord::addTriangles(const std::vector<sf::Vertex>& vertices, const sf::Texture* p_texture) {
    if (!m_drawing.whole || vertices.empty() || !keep(vertices.size()))
        return;
    m_drawing.draws.push_back(Draw{m_drawing.vertices.size(), vertices.size(), p_texture, 0});
    m_drawing.vertices.insert(m_drawing.vertices.end(), vertices.begin(), vertices.end());
}

void FrameRecord::addFigure(const sf::CircleShape& figure) {
    if (!m_drawing.whole || !keep(figure.getPointCount() + 1))
        return;
    m_drawing.draws.push_back(Draw{0, 0, nullptr, m_drawing.figures.size()});
    m_drawing.figures.push_back(figure);
}

void FrameRecord::frameShown() {
    std::swap(m_drawing, m_shown);
    m_drawing.clear();
}

bool FrameRecord::drawLastFrame(sf::RenderTarget& target) const {
    if (!m_shown.whole)
        return false;
    for (const Draw& draw : m_shown.draws) {
        if (draw.count == 0) {
            target.draw(m_shown.figures[draw.figure]);
            continue;
        }
        sf::RenderStates states;
        states.texture = draw.p_texture;
        target.draw(m_shown.vertices.data() + draw.first, draw.count, sf::PrimitiveType::Triangles, states);
    }
    return true;
}

} // namespace vt
