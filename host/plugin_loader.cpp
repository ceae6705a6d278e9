#include "plugin_loader.h"

#include "kavrin/published_names.h"
#include "sys/phone_root.h"
#include "sys/property_list.h"
#include "weeapp/plugin_entry.h"

#include <dlfcn.h>

#include <filesystem>

namespace kavrin::host {

std::string PluginLoader::bundleFolder()
{
    return sys::resolvePhonePath(kBundlePath);
}

std::string PluginLoader::executablePath()
{
    std::filesystem::path folder = bundleFolder();
    std::string name = folder.parent_path().stem().string();
    sys::ValuePtr info = sys::readPropertyListFile((folder / "Info.plist").string());
    if (const sys::Value* executable = sys::objectForKey(info, "CFBundleExecutable").get(); executable && executable->asString()) {
        std::string declared = *executable->asString();
        if (!declared.empty() && declared.find('/') == std::string::npos)
            name = declared;
    }
    return (folder / name).string();
}

std::unique_ptr<weeapp::BBWeeAppController> PluginLoader::createController(std::string& error)
{
    std::string path = executablePath();
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        error = "no widget plug-in at " + path;
        return nullptr;
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = dlerror();
        error = "cannot load " + path + ": " + (reason ? reason : "unknown reason");
        return nullptr;
    }
    auto create = reinterpret_cast<WeeAppCreateControllerFunction>(dlsym(module, weeapp::kCreateControllerSymbol));
    if (!create) {
        error = path + " has no " + weeapp::kCreateControllerSymbol;
        return nullptr;
    }
    std::unique_ptr<weeapp::BBWeeAppController> controller(create());
    if (!controller)
        error = path + " created no controller";
    return controller;
}

}
