#pragma once

// The engine is written against the SFML 3 API. The few calls whose spelling
// differs in SFML 2.5 go through the small inline functions here, so that the
// rest of the engine never tests the version itself.

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Config.hpp>
#include <SFML/Graphics.hpp>
#include <SFML/Window.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#if SFML_VERSION_MAJOR >= 3
#include <filesystem>
#endif

// The build chose the SFML package by its major version; the headers found
// must be the same, or a 2.5 header could slip into an SFML 3 build.
#if defined(VINTREL_SFML_MAJOR) && VINTREL_SFML_MAJOR != SFML_VERSION_MAJOR
#error "SFML headers and the SFML package the build chose differ in major version"
#endif

#if SFML_VERSION_MAJOR < 3
#include "media/KeyNames.h"
#endif

namespace vt::sfml {

/// Style bit that asks for a full-screen window in the engine's configuration.
constexpr std::uint32_t STYLE_FULLSCREEN_BIT = 8;

/// A video mode of w x h pixels.
inline sf::VideoMode makeVideoMode(unsigned w, unsigned h, unsigned bits_per_pixel = 32) {
#if SFML_VERSION_MAJOR >= 3
    return sf::VideoMode(sf::Vector2u(w, h), bits_per_pixel);
#else
    return sf::VideoMode(w, h, bits_per_pixel);
#endif
}

inline unsigned videoModeWidth(const sf::VideoMode& mode) {
#if SFML_VERSION_MAJOR >= 3
    return mode.size.x;
#else
    return mode.width;
#endif
}

inline unsigned videoModeHeight(const sf::VideoMode& mode) {
#if SFML_VERSION_MAJOR >= 3
    return mode.size.y;
#else
    return mode.height;
#endif
}

/// A rectangle from its top-left corner and size.
inline sf::FloatRect makeRect(float left, float top, float width, float height) {
#if SFML_VERSION_MAJOR >= 3
    return sf::FloatRect(sf::Vector2f(left, top), sf::Vector2f(width, height));
#else
    return sf::FloatRect(left, top, width, height);
#endif
}

/// Opens a render window. `style` is the engine's style mask (title bar 1,
/// resize 2, close 4); `state` 1 asks for full screen, as does style bit 8.
inline std::unique_ptr<sf::RenderWindow> makeWindow(const sf::VideoMode& mode, const sf::String& title,
                                                    std::uint32_t style, int state) {
    const bool fullscreen = state == 1 || (style & STYLE_FULLSCREEN_BIT) != 0;
#if SFML_VERSION_MAJOR >= 3
    return std::make_unique<sf::RenderWindow>(mode, title, style & ~STYLE_FULLSCREEN_BIT,
                                              fullscreen ? sf::State::Fullscreen : sf::State::Windowed);
#else
    const std::uint32_t bits = fullscreen ? (style | sf::Style::Fullscreen) : style;
    return std::make_unique<sf::RenderWindow>(mode, title, bits);
#endif
}

/// Loads a font file; false when it cannot be read.
inline bool openFont(sf::Font& font, const std::string& file_name) {
#if SFML_VERSION_MAJOR >= 3
    return font.openFromFile(std::filesystem::path(file_name));
#else
    return font.loadFromFile(file_name);
#endif
}

/// Opens a font from bytes that stay valid while the font is used (the
/// window library reads glyphs from them on demand).
inline bool openFontFromMemory(sf::Font& font, const void* p_bytes, std::size_t size) {
#if SFML_VERSION_MAJOR >= 3
    return font.openFromMemory(p_bytes, size);
#else
    return font.loadFromMemory(p_bytes, size);
#endif
}

/// A glyph's placement relative to the pen (baseline origin) and its
/// rectangle in the font's texture, in pixels.
struct GlyphRects {
    float left, top, width, height;
    float tex_left, tex_top, tex_width, tex_height;
};

inline GlyphRects glyphRects(const sf::Glyph& glyph) {
#if SFML_VERSION_MAJOR >= 3
    return {glyph.bounds.position.x,
            glyph.bounds.position.y,
            glyph.bounds.size.x,
            glyph.bounds.size.y,
            static_cast<float>(glyph.textureRect.position.x),
            static_cast<float>(glyph.textureRect.position.y),
            static_cast<float>(glyph.textureRect.size.x),
            static_cast<float>(glyph.textureRect.size.y)};
#else
    return {glyph.bounds.left,
            glyph.bounds.top,
            glyph.bounds.width,
            glyph.bounds.height,
            static_cast<float>(glyph.textureRect.left),
            static_cast<float>(glyph.textureRect.top),
            static_cast<float>(glyph.textureRect.width),
            static_cast<float>(glyph.textureRect.height)};
#endif
}

/// The font's glyph texture for a character size, set to sample the nearest
/// texel rather than smooth between texels.
inline const sf::Texture& sharpGlyphTexture(sf::Font& font, unsigned character_size) {
#if SFML_VERSION_MAJOR >= 3
    if (font.isSmooth())
        font.setSmooth(false);
    return font.getTexture(character_size);
#else
    // The font owns this texture and hands it out read-only; it is not const
    // itself, and SFML 2.5 has no font-wide switch for smoothing.
    auto& texture = const_cast<sf::Texture&>(font.getTexture(character_size));
    texture.setSmooth(false);
    return texture;
#endif
}

/// A text drawn with the font at the character size, with an empty string.
inline sf::Text makeText(const sf::Font& font, unsigned character_size) {
#if SFML_VERSION_MAJOR >= 3
    return sf::Text(font, "", character_size);
#else
    return sf::Text("", font, character_size);
#endif
}

/// A rectangle's left and top edges and its size.
struct RectParts {
    float left, top, width, height;
};

inline RectParts rectParts(const sf::FloatRect& rect) {
#if SFML_VERSION_MAJOR >= 3
    return {rect.position.x, rect.position.y, rect.size.x, rect.size.y};
#else
    return {rect.left, rect.top, rect.width, rect.height};
#endif
}

/// The centre of a rectangle.
inline sf::Vector2f rectCentre(const sf::FloatRect& rect) {
#if SFML_VERSION_MAJOR >= 3
    return rect.position + rect.size / 2.0f;
#else
    return sf::Vector2f(rect.left + rect.width / 2.0f, rect.top + rect.height / 2.0f);
#endif
}

/// Rotation in degrees, clockwise, about the shape's origin.
inline void setRotation(sf::Transformable& shape, float degrees) {
#if SFML_VERSION_MAJOR >= 3
    shape.setRotation(sf::degrees(degrees));
#else
    shape.setRotation(degrees);
#endif
}

inline float getRotation(const sf::Transformable& shape) {
#if SFML_VERSION_MAJOR >= 3
    return shape.getRotation().asDegrees();
#else
    return shape.getRotation();
#endif
}

/// Gives the texture a new, undefined content of width x height texels; false when it cannot.
inline bool sizeTexture(sf::Texture& texture, unsigned width, unsigned height) {
#if SFML_VERSION_MAJOR >= 3
    return texture.resize(sf::Vector2u(width, height));
#else
    return texture.create(width, height);
#endif
}

/// Writes width x height RGBA texels into the texture with their top-left corner at (x, y).
inline void updateTexture(sf::Texture& texture, const std::uint8_t* p_pixels, unsigned width, unsigned height,
                          unsigned x, unsigned y) {
#if SFML_VERSION_MAJOR >= 3
    texture.update(p_pixels, sf::Vector2u(width, height), sf::Vector2u(x, y));
#else
    texture.update(p_pixels, width, height, x, y);
#endif
}

/// Copies the whole of one texture into another, at its top-left corner.
inline void copyTexture(sf::Texture& to, const sf::Texture& from) {
#if SFML_VERSION_MAJOR >= 3
    to.update(from, sf::Vector2u(0, 0));
#else
    to.update(from, 0, 0);
#endif
}

/// Copies what the window's back buffer holds into an image.
inline sf::Image windowToImage(const sf::RenderWindow& window) {
    sf::Texture texture;
#if SFML_VERSION_MAJOR >= 3
    if (!texture.resize(window.getSize()))
        return {};
#else
    if (!texture.create(window.getSize().x, window.getSize().y))
        return {};
#endif
    texture.update(window);
    return texture.copyToImage();
}

inline sf::Color pixelAt(const sf::Image& image, unsigned x, unsigned y) {
#if SFML_VERSION_MAJOR >= 3
    return image.getPixel(sf::Vector2u(x, y));
#else
    return image.getPixel(x, y);
#endif
}

/// An image of w x h pixels, all of the colour.
inline sf::Image makeImage(unsigned w, unsigned h, sf::Color color) {
    sf::Image image;
#if SFML_VERSION_MAJOR >= 3
    image.resize(sf::Vector2u(w, h), color);
#else
    image.create(w, h, color);
#endif
    return image;
}

/// Copies the w x h pixels at the top-left of source into target, with their
/// top-left corner at (x, y); pixels outside either image are left out.
inline void copyPixels(sf::Image& target, const sf::Image& source, unsigned x, unsigned y, unsigned w,
                       unsigned h) {
#if SFML_VERSION_MAJOR >= 3
    static_cast<void>(target.copy(source, sf::Vector2u(x, y),
                                  sf::IntRect({0, 0}, {static_cast<int>(w), static_cast<int>(h)})));
#else
    target.copy(source, x, y, sf::IntRect(0, 0, static_cast<int>(w), static_cast<int>(h)));
#endif
}

/// Sets one pixel of an image.
inline void setPixel(sf::Image& image, unsigned x, unsigned y, sf::Color color) {
#if SFML_VERSION_MAJOR >= 3
    image.setPixel(sf::Vector2u(x, y), color);
#else
    image.setPixel(x, y, color);
#endif
}

/// Writes an image in the format its file name's extension names; false on failure.
inline bool saveImage(const sf::Image& image, const std::string& file_name) {
#if SFML_VERSION_MAJOR >= 3
    return image.saveToFile(std::filesystem::path(file_name));
#else
    return image.saveToFile(file_name);
#endif
}

/// Reads an image file; false when it cannot be read.
inline bool loadImage(sf::Image& image, const std::string& file_name) {
#if SFML_VERSION_MAJOR >= 3
    return image.loadFromFile(std::filesystem::path(file_name));
#else
    return image.loadFromFile(file_name);
#endif
}

/// The operating system's handle of the window (an X11 window id here).
inline sf::WindowHandle nativeHandle(const sf::Window& window) {
#if SFML_VERSION_MAJOR >= 3
    return window.getNativeHandle();
#else
    return window.getSystemHandle();
#endif
}

/// Decodes a whole audio file into the buffer; false when it cannot be read.
inline bool loadSoundBuffer(sf::SoundBuffer& buffer, const std::string& file_name) {
#if SFML_VERSION_MAJOR >= 3
    return buffer.loadFromFile(std::filesystem::path(file_name));
#else
    return buffer.loadFromFile(file_name);
#endif
}

/// Opens an audio file for streaming; false when it cannot be opened.
inline bool openMusic(sf::Music& music, const std::string& file_name) {
#if SFML_VERSION_MAJOR >= 3
    return music.openFromFile(std::filesystem::path(file_name));
#else
    return music.openFromFile(file_name);
#endif
}

/// Makes a sound repeat from the start when it ends.
inline void setLooping(sf::Sound& sound, bool loop) {
#if SFML_VERSION_MAJOR >= 3
    sound.setLooping(loop);
#else
    sound.setLoop(loop);
#endif
}

/// Makes a stream repeat from the start when it ends.
inline void setLooping(sf::SoundStream& stream, bool loop) {
#if SFML_VERSION_MAJOR >= 3
    stream.setLooping(loop);
#else
    stream.setLoop(loop);
#endif
}

/// Whether a sound repeats.
inline bool isLooping(const sf::Sound& sound) {
#if SFML_VERSION_MAJOR >= 3
    return sound.isLooping();
#else
    return sound.getLoop();
#endif
}

/// Whether a stream repeats.
inline bool isLooping(const sf::SoundStream& stream) {
#if SFML_VERSION_MAJOR >= 3
    return stream.isLooping();
#else
    return stream.getLoop();
#endif
}

/// The keys whose names changed between the two versions.
#if SFML_VERSION_MAJOR >= 3
inline constexpr sf::Keyboard::Key KEY_APOSTROPHE = sf::Keyboard::Key::Apostrophe;
inline constexpr sf::Keyboard::Key KEY_GRAVE = sf::Keyboard::Key::Grave;
#else
inline constexpr sf::Keyboard::Key KEY_APOSTROPHE = sf::Keyboard::Key::Quote;
inline constexpr sf::Keyboard::Key KEY_GRAVE = sf::Keyboard::Key::Tilde;
#endif

/// The parts of a window event that the engine's input handling looks at.
struct InputEvent {
    enum class Kind { Closed, KeyPressed, KeyReleased, MouseMoved, MouseButtonPressed, Other };
    Kind kind = Kind::Other;
    sf::Keyboard::Key key = sf::Keyboard::Key::Unknown;
    sf::Mouse::Button button = sf::Mouse::Button::Left;
    /// Pointer position in window pixels, for the mouse kinds.
    int x = 0;
    int y = 0;
};

/// The next queued event of the window, or none when the queue is empty.
inline std::optional<sf::Event> pollEvent(sf::Window& window) {
#if SFML_VERSION_MAJOR >= 3
    return window.pollEvent();
#else
    sf::Event event;
    if (window.pollEvent(event))
        return event;
    return std::nullopt;
#endif
}

/// Sorts a window event into the kinds the engine handles.
inline InputEvent describeEvent(const sf::Event& event) {
    InputEvent described;
#if SFML_VERSION_MAJOR >= 3
    if (event.is<sf::Event::Closed>()) {
        described.kind = InputEvent::Kind::Closed;
    } else if (const auto* pressed = event.getIf<sf::Event::KeyPressed>()) {
        described.kind = InputEvent::Kind::KeyPressed;
        described.key = pressed->code;
    } else if (const auto* released = event.getIf<sf::Event::KeyReleased>()) {
        described.kind = InputEvent::Kind::KeyReleased;
        described.key = released->code;
    } else if (const auto* moved = event.getIf<sf::Event::MouseMoved>()) {
        described.kind = InputEvent::Kind::MouseMoved;
        described.x = moved->position.x;
        described.y = moved->position.y;
    } else if (const auto* clicked = event.getIf<sf::Event::MouseButtonPressed>()) {
        described.kind = InputEvent::Kind::MouseButtonPressed;
        described.button = clicked->button;
        described.x = clicked->position.x;
        described.y = clicked->position.y;
    }
#else
    switch (event.type) {
    case sf::Event::Closed:
        described.kind = InputEvent::Kind::Closed;
        break;
    case sf::Event::KeyPressed:
        described.kind = InputEvent::Kind::KeyPressed;
        described.key = event.key.code;
        break;
    case sf::Event::KeyReleased:
        described.kind = InputEvent::Kind::KeyReleased;
        described.key = event.key.code;
        break;
    case sf::Event::MouseMoved:
        described.kind = InputEvent::Kind::MouseMoved;
        described.x = event.mouseMove.x;
        described.y = event.mouseMove.y;
        break;
    case sf::Event::MouseButtonPressed:
        described.kind = InputEvent::Kind::MouseButtonPressed;
        described.button = event.mouseButton.button;
        described.x = event.mouseButton.x;
        described.y = event.mouseButton.y;
        break;
    default:
        break;
    }
#endif
    return described;
}

/// A short human name of the key, for log lines.
inline std::string keyDescription(sf::Keyboard::Key key) {
#if SFML_VERSION_MAJOR >= 3
    return sf::Keyboard::getDescription(sf::Keyboard::delocalize(key)).toAnsiString();
#else
    return keyName(static_cast<int>(key));
#endif
}

} // namespace vt::sfml
