#include <weeapp/plugin/wee_app_controller.h>

namespace weeapp {

// Defined here so that the protocol's vtable and type information live once, in this library,
// shared by the host and every plug-in it loads.
BBWeeAppController::~BBWeeAppController() = default;

}
