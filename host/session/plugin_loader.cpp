#include "session/plugin_loader.h"

#include <weeapp/c_handles.h>
#include <weeapp/plugin_entry.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/property_list.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace kavrin::host {

namespace fs = std::filesystem;

std::vector<std::string> PluginLoader::bundleNames()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(sys::resolvePhonePath(sys::kPluginsFolder), error)) {
        const fs::path& path = entry.path();
        if (path.extension() == sys::kBundleExtension && !path.stem().empty() && entry.is_directory(error))
            names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> PluginLoader::danglingBundleLinks()
{
    std::vector<std::string> links;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(sys::resolvePhonePath(sys::kPluginsFolder), error)) {
        const fs::path& path = entry.path();
        std::error_code ignored;
        if (path.extension() == sys::kBundleExtension && entry.is_symlink(ignored) && !entry.is_directory(ignored))
            links.push_back(path.filename().string() + " -> " + fs::read_symlink(path, ignored).string());
    }
    std::sort(links.begin(), links.end());
    return links;
}

std::string PluginLoader::bundleFolder(const std::string& name)
{
    return sys::resolvePhonePath(sys::bundlePath(name));
}

std::string PluginLoader::executablePath(const std::string& name)
{
    fs::path folder = bundleFolder(name);
    std::string executable = name;
    sys::ValuePtr info = sys::readPropertyListFile((folder / sys::kBundleInfoFile).string());
    if (const sys::Value* declared = sys::objectForKey(info, "CFBundleExecutable").get(); declared && declared->asString()) {
        if (!declared->asString()->empty() && declared->asString()->find('/') == std::string::npos)
            executable = *declared->asString();
    }
    return (folder / executable).string();
}

namespace {

// A copy of the file under a new name in the temporary folder, for the dynamic loader to take
// as a file it has never seen; empty when none could be made.
std::string privateCopyOf(const fs::path& file)
{
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/kavrin-plugin-XXXXXX.so";
    if (!weeapp::FileDescriptor(::mkstemps(name.data(), 3)))
        return {};
    std::error_code error;
    if (!fs::copy_file(file, name, fs::copy_options::overwrite_existing, error) || ::chmod(name.c_str(), 0700) != 0) {
        ::unlink(name.c_str());
        return {};
    }
    return name;
}

}

Result<std::unique_ptr<weeapp::BBWeeAppController>> PluginLoader::createController(const std::string& name, const PluginTrust& trust, Loading loading)
{
    std::string path = executablePath(name);
    std::error_code ignored;
    if (!fs::is_regular_file(path, ignored))
        return Error { "no widget plug-in at " + path };
    Result<fs::path> trusted = trust.check(bundleFolder(name), path);
    if (!trusted)
        return Error { trusted.error() };
    std::string loaded = trusted->string();
    if (loading == Loading::Afresh) {
        loaded = privateCopyOf(*trusted);
        if (loaded.empty())
            return Error { "cannot copy " + trusted->string() + " into the temporary folder to load it afresh" };
    }
    void* module = dlopen(loaded.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (loading == Loading::Afresh)
        ::unlink(loaded.c_str());
    if (!module) {
        const char* reason = dlerror();
        return Error { "cannot load " + path + ": " + (reason ? reason : "unknown reason") };
    }
    auto create = reinterpret_cast<WeeAppCreateControllerFunction>(dlsym(module, weeapp::kCreateControllerSymbol));
    if (!create)
        return Error { path + " has no " + weeapp::kCreateControllerSymbol };
    std::unique_ptr<weeapp::BBWeeAppController> controller(create());
    if (!controller)
        return Error { path + " created no controller" };
    return controller;
}

}
