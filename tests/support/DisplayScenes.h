#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/WorldScenes.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/Frame.h"
#include "vintrel/media/Sprite.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

// Frames that the display tests and benchmarks draw alike. Scenes of objects
// hand them to the world manager and keep their sprites in `Sprites`.
namespace vt::scenes {

using Sprites = std::vector<std::unique_ptr<Sprite>>;

using test::clearWorld;

/// Every cell of the window, one character each in the seven colours.
inline void drawFullScreen() {
    DisplayManager& dm = DisplayManager::getInstance();
    for (int y = 0; y < dm.getVerticalChars(); y++)
        for (int x = 0; x < dm.getHorizontalChars(); x++)
            dm.drawCharacter(Vector(static_cast<float>(x), static_cast<float>(y)),
                             static_cast<char>('!' + (x + y) % 90), static_cast<Color>(1 + (x + y) % 7));
}

/// Every cell of the window, one box-drawing or block character each, mixed
/// as walls, frames and shading mix them, in the seven colours.
inline void drawFullScreenOfBoxes() {
    const std::u32string characters = U"─│┌┐└┘├┤┬┴┼═║╔╗╚╝╠╣╦╩╬━┃┏┓┗┛┣┫┳┻╋╭╮╯╰█▀▄▌▐░▒▓▖▗▘▝▙▟";
    DisplayManager& dm = DisplayManager::getInstance();
    for (int y = 0; y < dm.getVerticalChars(); y++)
        for (int x = 0; x < dm.getHorizontalChars(); x++)
            dm.drawCharacter(Vector(static_cast<float>(x), static_cast<float>(y)),
                             characters[static_cast<std::size_t>(x + 3 * y) % characters.size()],
                             static_cast<Color>(1 + (x + y) % 7));
}

/// A spectral object showing a sprite of w x h characters of the text repeated.
inline Object* addObject(Sprites& sprites, int w, int h, Color color, const std::string& text,
                         Vector position, int altitude = 2) {
    std::string cells;
    while (cells.size() < static_cast<std::size_t>(w * h))
        cells += text;
    sprites.push_back(std::make_unique<Sprite>(1));
    Sprite* p_sprite = sprites.back().get();
    p_sprite->setWidth(w);
    p_sprite->setHeight(h);
    p_sprite->setColor(color);
    p_sprite->pushFrame(Frame(w, h, cells.substr(0, static_cast<std::size_t>(w * h))));
    auto* p_object = new Object;
    p_object->setSolidness(SPECTRAL);
    p_object->setAltitude(altitude);
    Animation animation;
    animation.setSprite(p_sprite);
    p_object->setAnimation(animation);
    p_object->setPosition(position);
    return p_object;
}

inline void addViewObject(const std::string& label, int value, int location, Color color,
                          bool border = true) {
    auto* p_view = new ViewObject;
    p_view->setViewString(label);
    p_view->setValue(value);
    p_view->setColor(color);
    p_view->setBorder(border);
    p_view->setLocation(location);
}

/// A busy moment of the shooter: 60 objects of 1 to 12 characters, the score
/// and the missile count. Returns the number of sprite characters.
inline int makeTypicalGameFrame(Sprites& sprites) {
    const int sizes[4][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 3}};
    const Color colors[4] = {YELLOW, WHITE, WHITE, RED};
    int characters = 0;
    for (int i = 0; i < 60; i++) {
        const int kind = i % 4;
        addObject(sprites, sizes[kind][0], sizes[kind][1], colors[kind], "#",
                  Vector(static_cast<float>(3 + (i * 37) % 74), static_cast<float>(3 + (i * 7) % 19)));
        characters += sizes[kind][0] * sizes[kind][1];
    }
    addViewObject("Points", 1250, 1, WHITE);
    addViewObject("Missiles", 4, 2, GREEN);
    return characters;
}

/// Objects piled at every altitude: at one place, a cell apart, a fraction apart.
inline void makeOverlappingAltitudes(Sprites& sprites) {
    const char* const texts[] = {"@", "Wm", "%#", "MW", "Qg"};
    for (int altitude = 0; altitude <= 4; altitude++) {
        const auto a = static_cast<float>(altitude);
        const auto color = static_cast<Color>(1 + altitude);
        addObject(sprites, 4, 3, color, texts[altitude], Vector(10 + a, 5 + a / 2), 4 - altitude);
        addObject(sprites, 4, 3, color, texts[altitude], Vector(30 + a * 0.4f, 5 + a * 0.3f), altitude);
        addObject(sprites, 4, 3, color, texts[altitude], Vector(50, 5), altitude);
    }
}

/// Characters turned by several angles, over a row of others and beside others.
inline void drawRotatedCharacters() {
    DisplayManager& dm = DisplayManager::getInstance();
    const float angles[] = {0, 15, 30, 45, 90, 135, 180, 270, -60};
    for (int i = 0; i < 9; i++) {
        const auto x = static_cast<float>(5 + 3 * i);
        dm.drawText(Vector(x - 1, 10), "MMM", LEFT, CYAN);
        dm.drawCharacter(Vector(x, 10), 'W', YELLOW, angles[i]);
        dm.drawCharacter(Vector(x, 14), 'k', GREEN, angles[i]);
        dm.drawCharacter(Vector(x + 1, 14), '@', WHITE);
    }
}

/// Characters and texts between cells, overlapping one another.
inline void drawBetweenCells() {
    DisplayManager& dm = DisplayManager::getInstance();
    for (int i = 0; i < 40; i++)
        dm.drawCharacter(Vector(2 + static_cast<float>(i) * 0.37f, 3 + static_cast<float>(i) * 0.21f),
                         static_cast<char>('A' + i % 26), static_cast<Color>(1 + i % 7));
    dm.drawText(Vector(20.5f, 12.25f), "Points 1250", CENTER, WHITE);
    dm.drawText(Vector(21.25f, 12.6f), "Missiles 4", LEFT, GREEN);
    dm.drawText(Vector(40.3f, 18.7f), "W A S D  click @", LEFT, YELLOW);
}

/// View objects at all nine locations, most of them framed.
inline void makeViewObjects() {
    const char* const labels[] = {"Points", "Missiles", "Lives", "Wave", "Level",
                                  "Bonus",  "Time",     "Kills", "Ammo"};
    for (int location = 0; location <= 8; location++)
        addViewObject(labels[location], location * 111, location, static_cast<Color>(1 + location % 7),
                      location % 3 != 2);
}

/// The bytes 0x80 to 0xFF through the char forms: cell by cell, and as a
/// frame of bytes. They draw whatever the locale makes of a char (in the
/// default "C" locale, the font's glyph for no character).
inline void drawHighBytes(Sprites& sprites) {
    DisplayManager& dm = DisplayManager::getInstance();
    std::string bytes;
    for (int byte = 0x80; byte <= 0xFF; byte++) {
        const int i = byte - 0x80;
        dm.drawCharacter(Vector(static_cast<float>(2 + i % 32), static_cast<float>(2 + i / 32)),
                         static_cast<char>(byte), static_cast<Color>(1 + i % 7));
        bytes += static_cast<char>(byte);
    }
    addObject(sprites, 32, 4, YELLOW, bytes, Vector(40, 12));
}

/// A circle drawn into the window between characters; those drawn after it
/// cover it with their backgrounds.
inline void makeShapeUnderText(Sprites& sprites) {
    Shape circle;
    circle.setColor(BLUE);
    addObject(sprites, 5, 1, RED, "MWMWM", Vector(20, 8), 1)->setShape(circle);
    addObject(sprites, 3, 1, WHITE, "x@x", Vector(20, 8), 3);
}

} // namespace vt::scenes
