#include "Sounds.h"

#include <vintrel/media/ResourceManager.h>
#include <vintrel/media/Sound.h>

void playSound(const char* label) {
    vt::ResourceManager& resource_manager = vt::ResourceManager::getInstance();
    if (!resource_manager.isStarted()) {
        return;
    }
    vt::Sound* p_sound = resource_manager.getSound(label);
    if (p_sound != nullptr) {
        p_sound->play(false);
    }
}
