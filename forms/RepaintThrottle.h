// Paints no more often than a screen can show: the run asks for a repaint
// before every message, which would cost more than the conversion itself on
// a store of many small messages.
#pragma once

#include <chrono>
#include <functional>
#include <utility>

namespace velmora {

class TRepaintThrottle {
public:
    using TClock = std::function<std::chrono::steady_clock::time_point()>;

    explicit TRepaintThrottle(std::chrono::nanoseconds interval = std::chrono::milliseconds(16),
                              TClock clock = std::chrono::steady_clock::now)
        : FInterval(interval), FClock(std::move(clock)) {}

    // The next question is answered yes, whatever the time.
    void Reset() { FPainted = false; }

    // Yes when nothing was painted since Reset, or when the interval has
    // passed since the last yes.
    bool Due() {
        const auto now = FClock();
        if (FPainted && now - FLast < FInterval)
            return false;
        FPainted = true;
        FLast = now;
        return true;
    }

private:
    std::chrono::nanoseconds FInterval;
    TClock FClock;
    bool FPainted = false;
    std::chrono::steady_clock::time_point FLast{};
};

} // namespace velmora
