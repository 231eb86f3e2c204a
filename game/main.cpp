#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/input/InputManager.h>
#include <vintrel/input/Pause.h>
#include <vintrel/splash/Splash.h>

#include "GameStart.h"
#include "LoadResources.h"

int main() {
    vt::GameManager& game_manager = vt::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game_manager.shutDown();
        return 1;
    }
    vt::LogManager::getInstance().setFlush(true);

    vt::splash();
    loadResources();
    new GameStart;
    new vt::Pause(vt::KEY_F10);

    game_manager.run();
    game_manager.shutDown();
    return 0;
}
