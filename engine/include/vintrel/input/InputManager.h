#pragma once

#include "vintrel/core/Manager.h"

namespace vt {

/// Turns window input into keyboard and mouse events.
class InputManager : public Manager {
public:
    static InputManager& getInstance();
    bool isValid(const std::string& event_type) const override;
    ~InputManager() override;
    int startUp() override;
    void shutDown() override;

    /// Delivers the pending window input as engine events.
    void getInput();

private:
    InputManager();
};

} // namespace vt
