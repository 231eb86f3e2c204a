#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/input/InputManager.h>
#include <vintrel/input/Pause.h>
#include <vintrel/splash/Splash.h>

#include "GameStart.h"
#include "LoadResources.h"
#include "NetworkRole.h"
#include "Spectating.h"

int main(int argc, char* argv[]) {
    NetworkRole role;
    if (parseNetworkRole(argc, argv, &role) != 0) {
        return 1;
    }
    if (role.mode == NetworkRole::WATCH) {
        return watchGame(role);
    }
    vt::GameManager& game_manager = vt::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game_manager.shutDown();
        return 1;
    }
    vt::LogManager::getInstance().setFlush(true);

    vt::splash();
    loadResources();
    if (role.mode == NetworkRole::HOST && startHosting(role) != 0) {
        game_manager.shutDown();
        return 1;
    }
    new GameStart;
    new vt::Pause(vt::KEY_F10);

    game_manager.run();
    game_manager.shutDown();
    return 0;
}
