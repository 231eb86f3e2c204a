#include "LoadResources.h"

#include <vintrel/media/ResourceManager.h>

void loadResources() {
    vt::ResourceManager& rm = vt::ResourceManager::getInstance();
    // Results are not checked: the resource manager logs every failure, and
    // each object copes with a missing sprite or sound on its own.
    rm.loadSprite("sprites/player-spr.txt", "player");
    rm.loadSprite("sprites/missile-spr.txt", "missile");
    rm.loadSprite("sprites/explosion-spr.txt", "explosion");
    rm.loadSprite("sprites/missile-explosion-spr.txt", "missileexplosion");
    rm.loadSprite("sprites/asteroid-spr.txt", "asteroid");
    rm.loadSprite("sprites/bullet-spr.txt", "bullet");
    rm.loadSprite("sprites/gamestart-spr.txt", "gamestart");
    rm.loadSprite("sprites/gameover-spr.txt", "gameover");
    rm.loadMusic("sounds/start-music.wav", "start music");
    rm.loadSound("sounds/fire.wav", "fire");
    rm.loadSound("sounds/explode.wav", "explode");
    rm.loadSound("sounds/game-over.wav", "game over");
}
