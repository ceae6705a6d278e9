#include "desktop/desktop_module.h"

#include "demo_phone_location.h"

#include <dlfcn.h>

namespace kavrin::host {

namespace {

std::string loaderError()
{
    const char* reason = dlerror();
    return reason ? reason : "unknown reason";
}

template<typename Function>
bool find(void* module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(module, name));
    return function != nullptr;
}

}

std::filesystem::path DesktopModule::defaultFile()
{
    return phone_files::programFolder() / KAVRIN_DESKTOP_MODULE_FOLDER / kDesktopModuleFile;
}

Result<DesktopModule> DesktopModule::load(const std::filesystem::path& file)
{
    const std::string name = file.lexically_normal().string();
    void* module = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return Error { "cannot load the desktop module: " + loaderError() };
    decltype(&kavrinDesktopInterfaceVersion) version = nullptr;
    DesktopModule loaded;
    if (!find(module, kDesktopInterfaceVersionSymbol, version) || !find(module, kStartSynthesizerSymbol, loaded.m_startSynthesizer)
        || !find(module, kOpenSpeechPlayerSymbol, loaded.m_openSpeechPlayer) || !find(module, kStartDisplaySymbol, loaded.m_startDisplay)) {
        std::string reason = loaderError();
        dlclose(module);
        return Error { "cannot use the desktop module " + name + ": " + reason };
    }
    if (version() != kDesktopInterfaceVersion) {
        dlclose(module);
        return Error { "the desktop module " + name + " belongs to another build of kavrin-host" };
    }
    return loaded;
}

}
