#include "controller/kavrin_controller.h"
#include <weeapp/plugin/plugin_entry.h>

extern "C" __attribute__((visibility("default"))) weeapp::BBWeeAppController* WeeAppCreateController()
{
    return new kavrin::KavrinController();
}
