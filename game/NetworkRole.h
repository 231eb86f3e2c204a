#pragma once

#include <string>
#include <vector>

/// What the command line asks of the shooter over the network: play alone,
/// play and serve the game to watchers (--host [[ADDRESS:]PORT]), or watch
/// another shooter's game (--watch HOST[:PORT]).
struct NetworkRole {
    enum Mode { PLAY, HOST, WATCH };
    Mode mode = PLAY;
    /// HOST: the address to listen on; WATCH: the host to connect to.
    std::string address;
    std::string port;
};

/// Reads --host and --watch from the arguments and puts the others (the
/// program's name first) in *p_others; 0, or -1 after a line on standard
/// error when they are malformed or when --watch comes with other arguments.
int parseNetworkRole(int argc, const char* const* argv, NetworkRole* p_role,
                     std::vector<const char*>* p_others);
