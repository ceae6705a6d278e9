#include <weeapp/sys/clock.h>

#include <chrono>

namespace sys {

double SystemClock::now() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}
