#pragma once

#include <weeapp/plugin/wee_app_controller.h>

// A plug-in bundle exports one C function that creates its controller with the default
// initialiser. The host owns the result and deletes it through the virtual destructor.
extern "C" {
using WeeAppCreateControllerFunction = weeapp::BBWeeAppController* (*)();
}

namespace weeapp {

inline constexpr const char* kCreateControllerSymbol = "WeeAppCreateController";

}
