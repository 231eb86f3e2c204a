#pragma once

#include <SFML/Graphics.hpp>

#include <cstddef>
#include <vector>

namespace vt {

/// What the display manager drew into the window for one frame, in drawing
/// order: the triangles of its characters and the figures of its shapes.
/// The frame last shown is kept, so that it can be drawn again exactly
/// without running any object's draw (a paused game shows it under its
/// message). What a game draws straight into the window is not part of it.
/// A frame of more than MAX_VERTICES vertices is not kept.
class FrameRecord {
  public:
    /// About 40 full screens of 80 x 24 cells, 20 MB.
    static constexpr std::size_t MAX_VERTICES = 1 << 20;

    /// Adds triangles to the frame being drawn; the texture (may be null)
    /// must live as long as the record.
    void addTriangles(const std::vector<sf::Vertex>& vertices, const sf::Texture* p_texture);
    /// Adds a figure, drawn with the default render states, to the frame being drawn.
    void addFigure(const sf::CircleShape& figure);
    /// The frame being drawn was shown: it becomes the last frame shown.
    void frameShown();
    /// Draws the last frame shown again; false when it was too large to keep.
    bool drawLastFrame(sf::RenderTarget& target) const;

  private:
    // One draw call: a run of the vertices, or a figure.
    struct Draw {
        std::size_t first;
        std::size_t count;
        const sf::Texture* p_texture;
        std::size_t figure; // index into figures when count is 0
    };
    struct Frame {
        std::vector<sf::Vertex> vertices;
        std::vector<sf::CircleShape> figures;
        std::vector<Draw> draws;
        std::size_t weight = 0; // vertices, and each figure as its points
        bool whole = true;
        void clear();
    };

    // Counts the weight against the bound; false, and the frame is not kept, past it.
    bool keep(std::size_t weight);

    Frame m_drawing;
    Frame m_shown;
};

} // namespace vt
