#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/input/InputManager.h>
#include <vintrel/input/Pause.h>
#include <vintrel/splash/Splash.h>

#include <vector>

#include "CommandLine.h"
#include "GameStart.h"
#include "LoadResources.h"
#include "NetworkRole.h"
#include "Spectating.h"

int main(int argc, char* argv[]) {
    NetworkRole role;
    std::vector<const char*> other_arguments;
    if (parseNetworkRole(argc, argv, &role, &other_arguments) != 0) {
        return CommandLine::USAGE_ERROR;
    }
    if (role.mode == NetworkRole::WATCH) {
        return watchGame(role);
    }
    CommandLine command_line;
    const int parsed = command_line.parse(static_cast<int>(other_arguments.size()), other_arguments.data());
    if (parsed >= 0) {
        return parsed;
    }
    if (!command_line.prepare()) {
        return CommandLine::USAGE_ERROR;
    }

    readDataFromWorkingDirectoryOnly();
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
    command_line.noteFinalScore();
    game_manager.shutDown();
    return command_line.finish();
}
