#include "clamp.h"

// Values above ten become ten.
int clampToTen(int value)
{
    if (value > 10)
        return 10;
    return value;
}

int& larger(int& a, int& b)
{
    return a < b ? b : a;
}
