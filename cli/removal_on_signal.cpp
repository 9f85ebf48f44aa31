#include "cli/removal_on_signal.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// The signal handler can use only what is reachable without the program's help: fixed slots, written while the
// signals are blocked and read by the handler with async-signal-safe calls only.
constexpr int SlotCount = 4;
char SlotPaths[SlotCount][PATH_MAX];
volatile sig_atomic_t SlotUsed[SlotCount];

constexpr int CaughtSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveAndRaise(int signal) {
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (SlotUsed[slot] != 0) {
            unlink(SlotPaths[slot]);
        }
    }
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
    raise(signal);
}

// Blocks the caught signals for the life of the object, so that a slot is never seen half written.
class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t caught;
        sigemptyset(&caught);
        for (const int signal : CaughtSignals) {
            sigaddset(&caught, signal);
        }
        sigprocmask(SIG_BLOCK, &caught, &Previous);
    }
    ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &Previous, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t Previous{};
};

// A signal the tool was started to ignore (nohup) stays ignored.
void CatchSignals() {
    for (const int signal : CaughtSignals) {
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        if (current.sa_handler == SIG_DFL) {
            struct sigaction removing {};
            removing.sa_handler = RemoveAndRaise;
            sigemptyset(&removing.sa_mask);
            for (const int other : CaughtSignals) {
                sigaddset(&removing.sa_mask, other);
            }
            sigaction(signal, &removing, nullptr);
        }
    }
}

} // namespace

RemovalOnSignal::~RemovalOnSignal() {
    Release();
}

void RemovalOnSignal::Hold(const std::string& path) {
    Release();
    if (path.size() >= PATH_MAX) {
        return;
    }
    const SignalsBlocked blocked;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (SlotUsed[slot] == 0) {
            std::memcpy(SlotPaths[slot], path.c_str(), path.size() + 1);
            SlotUsed[slot] = 1;
            Slot = slot;
            CatchSignals();
            return;
        }
    }
}

void RemovalOnSignal::Release() {
    if (Slot >= 0) {
        const SignalsBlocked blocked;
        SlotUsed[Slot] = 0;
        Slot = -1;
    }
}
