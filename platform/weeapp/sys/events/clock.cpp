#include <weeapp/sys/events/clock.h>

#include <chrono>

namespace weeapp::sys {

double SystemClock::now() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}
