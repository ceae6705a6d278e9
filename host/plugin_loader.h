#pragma once

#include "weeapp/wee_app_controller.h"

#include <memory>
#include <string>

namespace kavrin::host {

// Finds the widget bundle under the phone root, loads its executable and creates the
// controller through the bundle's entry point. The code stays loaded for the life of the
// process, since views and callbacks made by it may outlive the controller.
class PluginLoader {
public:
    // The bundle's folder under the phone root and its executable (Info.plist's
    // "CFBundleExecutable", else the bundle's own name).
    static std::string bundleFolder();
    static std::string executablePath();

    // nullptr on failure, with the reason in error.
    static std::unique_ptr<weeapp::BBWeeAppController> createController(std::string& error);
};

}
