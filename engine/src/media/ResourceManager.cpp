#include "vintrel/media/ResourceManager.h"

namespace vt {

ResourceManager::ResourceManager() { setType("ResourceManager"); }

ResourceManager::~ResourceManager() = default;

ResourceManager& ResourceManager::getInstance() {
    static ResourceManager resource_manager;
    return resource_manager;
}

int ResourceManager::startUp() { return Manager::startUp(); }

void ResourceManager::shutDown() { Manager::shutDown(); }

Sprite* ResourceManager::getSprite(const std::string&) const { return nullptr; }

} // namespace vt
