#include "LoadResources.h"
#include "GameNames.h"

#include <vintrel/core/Config.h>
#include <vintrel/media/ResourceManager.h>

void loadResources() {
    vt::ResourceManager& rm = vt::ResourceManager::getInstance();
    // Results are not checked: the resource manager logs every failure, and
    // each object copes with a missing sprite or sound on its own.
    rm.loadSprite("sprites/player-spr.txt", names::PLAYER_SPRITE);
    rm.loadSprite("sprites/missile-spr.txt", names::MISSILE_SPRITE);
    rm.loadSprite("sprites/explosion-spr.txt", names::EXPLOSION_SPRITE);
    rm.loadSprite("sprites/missile-explosion-spr.txt", names::MISSILE_EXPLOSION_SPRITE);
    rm.loadSprite("sprites/asteroid-spr.txt", names::ASTEROID_SPRITE);
    rm.loadSprite("sprites/bullet-spr.txt", names::BULLET_SPRITE);
    rm.loadSprite("sprites/gamestart-spr.txt", names::GAME_START_SPRITE);
    rm.loadSprite("sprites/gameover-spr.txt", names::GAME_OVER_SPRITE);
    rm.loadMusic("sounds/start-music.wav", names::START_MUSIC);
    rm.loadSound("sounds/fire.wav", names::FIRE_SOUND);
    rm.loadSound("sounds/explode.wav", names::EXPLODE_SOUND);
    rm.loadSound("sounds/game-over.wav", names::GAME_OVER_SOUND);
}

void readDataFromWorkingDirectoryOnly() {
    // Kept unless the configuration file says otherwise.
    vt::Config::getInstance().loadConfig("data_paths:false,builtin_font:false,");
}
