#include "platform/StopSignals.h"

#include <signal.h>

namespace vt::platform {

namespace {

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM};

// Written by the handler, so only lock-free atomic flags.
volatile sig_atomic_t g_stop_signal = 0;

struct sigaction g_previous[2];
bool g_caught = false;

void onStopSignal(int signal_number) {
    if (g_stop_signal != 0) {
        // Asked twice: end now, with the status the signal itself gives.
        ::signal(signal_number, SIG_DFL);
        ::raise(signal_number);
        return;
    }
    g_stop_signal = signal_number;
}

} // namespace

int catchStopSignals() {
    releaseStopSignals();
    g_stop_signal = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Calls interrupted by the first signal resume; the game notices the
    // request at the end of its step.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; i++) {
        if (sigaction(STOP_SIGNALS[i], &action, &g_previous[i]) != 0) {
            if (i == 1)
                sigaction(STOP_SIGNALS[0], &g_previous[0], nullptr);
            return -1;
        }
    }
    g_caught = true;
    return 0;
}

void releaseStopSignals() {
    if (!g_caught)
        return;
    for (int i = 0; i < 2; i++)
        sigaction(STOP_SIGNALS[i], &g_previous[i], nullptr);
    g_caught = false;
}

bool stopRequested() { return g_stop_signal != 0; }

int stopSignal() { return static_cast<int>(g_stop_signal); }

} // namespace vt::platform
