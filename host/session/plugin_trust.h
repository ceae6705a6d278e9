#pragma once

#include "result.h"

#include <filesystem>
#include <vector>

namespace kavrin::host {

// The places whose plug-ins the host runs: a phone root is data that users copy, unpack and pass
// on, so a bundle in it is loaded only when it resolves, links followed, into a place the user
// trusts. Those are the bundle folder this build made (or the installed one, never the data
// folder around it), the folders named with
// --plugins, and those listed one a line in $XDG_CONFIG_HOME/kavrin/trusted-plugins (else
// ~/.config/kavrin/trusted-plugins; lines starting with # and relative paths are skipped).
class PluginTrust {
public:
    // The built or installed bundle, the configured folders and the named ones.
    static PluginTrust standard(const std::vector<std::filesystem::path>& named);
    // Nothing trusted.
    PluginTrust() = default;

    void trust(const std::filesystem::path& folder);
    const std::vector<std::filesystem::path>& places() const { return m_places; }

    // The executable's real path when it lies in a trusted place; otherwise why not, naming the
    // bundle and the option that would trust it (the folder the executable really is in, when it
    // leads out of the bundle). Nothing of the file is loaded to tell.
    Result<std::filesystem::path> check(const std::filesystem::path& bundleFolder, const std::filesystem::path& executable) const;

    // The configuration file listing trusted folders.
    static std::filesystem::path configurationFile();

private:
    std::vector<std::filesystem::path> m_places; // real paths
};

}
