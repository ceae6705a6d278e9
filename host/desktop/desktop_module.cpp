#include "desktop/desktop_module.h"

#include "demo_phone_location.h"
#include <weeapp/c_handles.h>

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
    weeapp::SharedObject owned(dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL));
    void* module = owned.get();
    if (!module)
        return Error { "cannot load the desktop module: " + loaderError() };
    decltype(&kavrinDesktopInterfaceVersion) version = nullptr;
    DesktopModule loaded;
    if (!find(module, kDesktopInterfaceVersionSymbol, version) || !find(module, kStartSynthesizerSymbol, loaded.m_startSynthesizer)
        || !find(module, kOpenSpeechPlayerSymbol, loaded.m_openSpeechPlayer) || !find(module, kStartDisplaySymbol, loaded.m_startDisplay))
        return Error { "cannot use the desktop module " + name + ": " + loaderError() };
    if (version() != kDesktopInterfaceVersion)
        return Error { "the desktop module " + name + " belongs to another build of kavrin-host" };
    // Loaded for the rest of the process: what it starts may run until the end.
    static_cast<void>(owned.release());
    return loaded;
}

}
