#include "NetworkRole.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <vintrel/network/NetworkManager.h>

namespace {

// A port is a number from 0 to 65535 (0: any free port, when hosting).
bool isPort(const std::string& text) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    return std::atoi(text.c_str()) <= 65535;
}

// "PORT", "ADDRESS:PORT" or "ADDRESS" into the role's address and port; false when malformed.
bool splitEndpoint(const std::string& text, bool port_alone, NetworkRole* p_role) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        if (port_alone && isPort(text)) {
            p_role->port = text;
            return true;
        }
        p_role->address = text;
        return !text.empty() && !port_alone;
    }
    p_role->address = text.substr(0, colon);
    p_role->port = text.substr(colon + 1);
    return !p_role->address.empty() && isPort(p_role->port);
}

} // namespace

int parseNetworkRole(int argc, const char* const* argv, NetworkRole* p_role,
                     std::vector<const char*>* p_others) {
    *p_role = NetworkRole();
    p_role->address = vt::DEFAULT_ADDRESS;
    p_role->port = vt::DEFAULT_PORT;
    p_others->assign(argv, argv + (argc > 0 ? 1 : 0));
    for (int i = 1; i < argc; ++i) {
        const bool host = std::strcmp(argv[i], "--host") == 0;
        const bool watch = std::strcmp(argv[i], "--watch") == 0;
        if (!host && !watch) {
            p_others->push_back(argv[i]);
            continue;
        }
        if (p_role->mode != NetworkRole::PLAY) {
            std::fprintf(stderr, "vintrel-shooter: --host and --watch go alone, once.\n");
            return -1;
        }
        p_role->mode = host ? NetworkRole::HOST : NetworkRole::WATCH;
        const bool has_value = i + 1 < argc && argv[i + 1][0] != '-';
        if (watch && !has_value) {
            std::fprintf(stderr, "vintrel-shooter: --watch needs HOST[:PORT].\n");
            return -1;
        }
        if (has_value && !splitEndpoint(argv[++i], host, p_role)) {
            std::fprintf(stderr, "vintrel-shooter: '%s' is not %s.\n", argv[i],
                         host ? "[ADDRESS:]PORT" : "HOST[:PORT]");
            return -1;
        }
    }
    // A watcher plays nothing: it neither records nor replays.
    if (p_role->mode == NetworkRole::WATCH && p_others->size() > 1) {
        std::fprintf(stderr, "vintrel-shooter: --watch goes alone.\n");
        return -1;
    }
    return 0;
}
