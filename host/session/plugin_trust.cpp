#include "session/plugin_trust.h"

#include "demo_phone.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace kavrin::host {

namespace fs = std::filesystem;

namespace {

// Whether path is place itself or lies under it, both real paths.
bool within(const fs::path& path, const fs::path& place)
{
    return std::mismatch(place.begin(), place.end(), path.begin(), path.end()).first == place.end();
}

}

fs::path PluginTrust::configurationFile()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return fs::path(config) / "kavrin" / "trusted-plugins";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / ".config" / "kavrin" / "trusted-plugins";
}

PluginTrust PluginTrust::standard(const std::vector<fs::path>& named)
{
    PluginTrust trust;
    // The bundle folder itself: PREFIX/share/kavrin/ around it is also the user's data folder when
    // the prefix is ~/.local, where phone roots are written and copied.
    trust.trust(phone_files::builtBundleFolder());
    std::ifstream configured(configurationFile());
    for (std::string line; std::getline(configured, line);) {
        if (line.starts_with('/'))
            trust.trust(line);
    }
    for (const fs::path& folder : named)
        trust.trust(folder);
    return trust;
}

void PluginTrust::trust(const fs::path& folder)
{
    std::error_code error;
    fs::path real = fs::canonical(folder, error);
    if (!error && std::ranges::find(m_places, real) == m_places.end())
        m_places.push_back(std::move(real));
}

Result<fs::path> PluginTrust::check(const fs::path& bundleFolder, const fs::path& executable) const
{
    std::error_code error;
    fs::path real = fs::canonical(executable, error);
    if (error)
        return Error { "no widget plug-in at " + executable.string() };
    if (std::ranges::any_of(m_places, [&](const fs::path& place) { return within(real, place); }))
        return real;
    // Named by its real place: the phone root's link to it may be one of a scratch copy.
    fs::path realBundle = fs::canonical(bundleFolder, error);
    if (error)
        realBundle = real.parent_path();
    const std::string refused = "refused the plug-in " + realBundle.string();
    const std::string unloaded = ", so none of its code was loaded; --plugins ";
    if (within(real, realBundle))
        return Error { refused + ": it is not in a trusted place" + unloaded + realBundle.string() + " trusts it" };
    // An executable that leads out of its bundle is trusted by where it leads, not by the bundle.
    return Error { refused + ": its executable leads to " + real.string() + ", which is not in a trusted place" + unloaded
        + real.parent_path().string() + " trusts it" };
}

}
