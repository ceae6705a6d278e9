// Any bytes as a plug-in bundle's Info.plist: the host finds the bundle, names an executable
// inside the bundle's own folder and fails to load what is not a plug-in, without failing
// itself.
#include "process_folder.h"
#include "session/plugin_loader.h"
#include <weeapp/platform_state.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// The fuzzed bundle's Info.plist, in a phone of the process's own made the platform's phone.
std::filesystem::path infoFile()
{
    sys::setPhoneRoot(kavrin::fuzzing::processFolder("kavrin-fuzz-info-"));
    const std::filesystem::path bundle = sys::resolvePhonePath(sys::bundlePath("Fuzzed"));
    std::filesystem::create_directories(bundle);
    return bundle / sys::kBundleInfoFile;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const weeapp::PlatformState platform;
    const std::filesystem::path info = infoFile();
    {
        std::ofstream file(info, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    using kavrin::host::PluginLoader;
    if (PluginLoader::bundleNames() != std::vector<std::string> { "Fuzzed" })
        std::abort();
    const std::filesystem::path executable = PluginLoader::executablePath("Fuzzed");
    if (executable.parent_path() != info.parent_path() || executable.filename().empty())
        std::abort();
    // The fuzzed bundle is trusted, so that what its Info.plist names is really tried.
    kavrin::host::PluginTrust trust;
    trust.trust(info.parent_path());
    if (PluginLoader::createController("Fuzzed", trust))
        std::abort();
    return 0;
}
