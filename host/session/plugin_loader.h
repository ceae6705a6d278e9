#pragma once

#include "result.h"
#include "session/plugin_trust.h"
#include <weeapp/plugin/wee_app_controller.h>

#include <memory>
#include <string>
#include <vector>

namespace kavrin::host {

// Finds widget bundles as the phone does, every NAME.bundle/ folder in the plug-ins folder under
// the phone root, loads a bundle's executable and creates the controller through its entry point.
// The code stays loaded for the life of the process, since views and callbacks made by it may
// outlive the controller.
class PluginLoader {
public:
    // The names of the bundles in the plug-ins folder, sorted.
    static std::vector<std::string> bundleNames();
    // The NAME.bundle links of the plug-ins folder that lead to no folder (as in a copied phone
    // whose relative link now points nowhere), each as "NAME.bundle -> TARGET".
    static std::vector<std::string> danglingBundleLinks();

    // The named bundle's folder under the phone root and its executable (Info.plist's
    // "CFBundleExecutable", else the bundle's own name).
    static std::string bundleFolder(const std::string& name);
    static std::string executablePath(const std::string& name);

    // How the executable is loaded: as the dynamic loader does, which hands back a file it has
    // loaded before under the same name, or afresh from a private copy, so that a rebuilt bundle's
    // new code runs (the copy is removed as soon as it is mapped).
    enum class Loading { Cached,
        Afresh };
    // Loads the bundle's executable, only from a trusted place, and creates its controller.
    static Result<std::unique_ptr<weeapp::BBWeeAppController>> createController(const std::string& name, const PluginTrust&, Loading = Loading::Cached);
};

}
