#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vintrel/media/Animation.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/Frame.h"
#include "vintrel/media/Shape.h"
#include "vintrel/media/Sprite.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

// Frames that the display tests and benchmarks draw alike. Scenes made of
// objects hand them to the world manager, which draws them by altitude.
namespace vt::scenes {

/// Sprites that objects of a scene show; they must outlive those objects.
using Sprites = std::vector<std::unique_ptr<Sprite>>;

/// Deletes every object of the world.
inline void clearWorld() {
    const ObjectList all = WorldManager::getInstance().getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++)
        delete all[i];
}

/// Every cell of the window, one character each in the seven colours.
inline void drawFullScreen() {
    DisplayManager& display_manager = DisplayManager::getInstance();
    const int columns = display_manager.getHorizontalChars();
    const int rows = display_manager.getVerticalChars();
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < columns; x++)
            display_manager.drawCharacter(Vector(static_cast<float>(x), static_cast<float>(y)),
                                          static_cast<char>('!' + (x + y) % 90),
                                          static_cast<Color>(1 + (x + y) % 7), 0.0f);
}

/// A one-frame sprite of width x height characters of the text, repeated.
inline Sprite* addSprite(Sprites& sprites, int width, int height, Color color, const std::string& text) {
    auto p_sprite = std::make_unique<Sprite>(1);
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setColor(color);
    std::string cells;
    while (cells.size() < static_cast<std::size_t>(width * height))
        cells += text;
    cells.resize(static_cast<std::size_t>(width * height));
    p_sprite->pushFrame(Frame(width, height, cells));
    sprites.push_back(std::move(p_sprite));
    return sprites.back().get();
}

/// A spectral object showing the sprite at the position and altitude.
inline Object* addObject(Sprite* p_sprite, Vector position, int altitude = 2) {
    auto* p_object = new Object;
    p_object->setSolidness(SPECTRAL);
    p_object->setAltitude(altitude);
    Animation animation;
    animation.setSprite(p_sprite);
    p_object->setAnimation(animation);
    p_object->setPosition(position);
    return p_object;
}

/// A view object with a label and a value at one of the nine locations.
inline ViewObject* addViewObject(const std::string& label, int value, int location, Color color,
                                 bool border = true) {
    auto* p_view = new ViewObject;
    p_view->setViewString(label);
    p_view->setValue(value);
    p_view->setColor(color);
    p_view->setBorder(border);
    p_view->setLocation(location);
    return p_view;
}

/// What a busy moment of the shooter draws: 60 objects of 1 to 12
/// characters spread over the screen, the score and the missile count.
/// Returns the number of sprite characters.
inline int makeTypicalGameFrame(Sprites& sprites) {
    std::vector<Sprite*> kinds = {addSprite(sprites, 1, 1, YELLOW, "#"), addSprite(sprites, 2, 2, WHITE, "#"),
                                  addSprite(sprites, 3, 3, WHITE, "#"), addSprite(sprites, 4, 3, RED, "#")};
    int characters = 0;
    for (int i = 0; i < 60; i++) {
        Sprite* p_sprite = kinds[static_cast<std::size_t>(i) % kinds.size()];
        addObject(p_sprite,
                  Vector(static_cast<float>(3 + (i * 37) % 74), static_cast<float>(3 + (i * 7) % 19)));
        characters += p_sprite->getWidth() * p_sprite->getHeight();
    }
    addViewObject("Points", 1250, 1, WHITE);
    addViewObject("Missiles", 4, 2, GREEN);
    return characters;
}

/// Objects piled on each other at every altitude, some at the same place,
/// some a cell or a fraction of one apart.
inline void makeOverlappingAltitudes(Sprites& sprites) {
    const char* const texts[] = {"@", "Wm", "%#", "MW", "Qg"};
    for (int altitude = 0; altitude <= 4; altitude++) {
        Sprite* p_sprite = addSprite(sprites, 4, 3, static_cast<Color>(1 + altitude), texts[altitude]);
        const auto a = static_cast<float>(altitude);
        addObject(p_sprite, Vector(10 + a, 5 + a / 2), 4 - altitude);
        addObject(p_sprite, Vector(30 + a * 0.4f, 5 + a * 0.3f), altitude);
        addObject(p_sprite, Vector(50, 5), altitude);
    }
}

/// Characters turned by several angles, alone and over other characters.
inline void drawRotatedCharacters() {
    DisplayManager& display_manager = DisplayManager::getInstance();
    const float angles[] = {0, 15, 30, 45, 90, 135, 180, 270, -60};
    int i = 0;
    for (float angle : angles) {
        const auto x = static_cast<float>(5 + 3 * i);
        display_manager.drawText(Vector(x - 1, 10), "MMM", LEFT, CYAN);
        display_manager.drawCharacter(Vector(x, 10), 'W', YELLOW, angle);
        display_manager.drawCharacter(Vector(x, 14), 'k', GREEN, angle);
        display_manager.drawCharacter(Vector(x + 1, 14), '@', WHITE, 0.0f);
        i++;
    }
}

/// Characters and texts at positions between cells, overlapping one another.
inline void drawBetweenCells() {
    DisplayManager& display_manager = DisplayManager::getInstance();
    for (int i = 0; i < 40; i++) {
        const auto f = static_cast<float>(i);
        display_manager.drawCharacter(Vector(2 + f * 0.37f, 3 + f * 0.21f), static_cast<char>('A' + i % 26),
                                      static_cast<Color>(1 + i % 7), 0.0f);
    }
    display_manager.drawText(Vector(20.5f, 12.25f), "Points 1250", CENTER, WHITE);
    display_manager.drawText(Vector(21.25f, 12.6f), "Missiles 4", LEFT, GREEN);
    display_manager.drawText(Vector(40.3f, 18.7f), "W A S D  click @", LEFT, YELLOW);
}

/// View objects with and without borders at all nine locations.
inline void makeViewObjects() {
    const char* const labels[] = {"Points", "Missiles", "Lives", "Wave", "Level",
                                  "Bonus",  "Time",     "Kills", "Ammo"};
    for (int location = 0; location <= 8; location++)
        addViewObject(labels[location], location * 111, location, static_cast<Color>(1 + location % 7),
                      location % 3 != 2);
}

/// A circle drawn into the window between characters: those drawn after it
/// cover it with their backgrounds.
inline void makeShapeUnderText(Sprites& sprites) {
    Object* p_under = addObject(addSprite(sprites, 5, 1, RED, "MWMWM"), Vector(20, 8), 1);
    Shape circle;
    circle.setType(SHAPE_CIRCLE);
    circle.setColor(BLUE);
    p_under->setShape(circle);
    addObject(addSprite(sprites, 3, 1, WHITE, "x@x"), Vector(20, 8), 3);
}

} // namespace vt::scenes
