#pragma once

#include <string>

#include "vintrel/core/Manager.h"

namespace vt {

class Sprite;

/// Loads sprites, sounds and music once and finds them by label.
class ResourceManager : public Manager {
public:
    static ResourceManager& getInstance();
    ~ResourceManager() override;
    int startUp() override;
    void shutDown() override;

    /// The sprite with the label, or null.
    Sprite* getSprite(const std::string& label) const;

private:
    ResourceManager();
};

} // namespace vt
