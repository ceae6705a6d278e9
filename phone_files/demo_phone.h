#pragma once

#include "result.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kavrin::phone_files {

struct DemoContact;

// The plug-in bundle this build made, which a demo phone links to.
std::filesystem::path builtBundleFolder();

// Writes the demo phone, a complete phone root: the favorites list of the demo contacts, the two
// address-book databases with their thumbnails, a settings file, and the bundle (a symbolic link
// to bundleFolder). Files already there are replaced.
Result<void> writeDemoPhone(const std::filesystem::path& root, const std::filesystem::path& bundleFolder);

// Writes the favorites list of the contacts and the two address-book databases that go with it
// (people, numbers, e-mail addresses and thumbnails), replacing what stood there.
Result<void> writeContacts(const std::filesystem::path& root, const std::vector<DemoContact>&);

// Over a folder that may already hold a phone, writes only the parts that are missing and
// replaces nothing of the user's: the settings file when there is none; the favorites list with
// its two address-book databases when none of the three is there (they belong together); the
// bundle link when there is none, or pointed at bundleFolder when it leads elsewhere or nowhere
// (as in a copied phone); the notification folder. What was written, as the parts' names for a
// message, and what was kept.
struct DemoPhoneCompletion {
    std::vector<std::string> written;
    std::vector<std::string> kept;
};
Result<DemoPhoneCompletion> completeDemoPhone(const std::filesystem::path& root, const std::filesystem::path& bundleFolder);

// Whether root already holds a demo phone's favorites list and bundle (a link, even one that
// leads nowhere).
bool demoPhoneExists(const std::filesystem::path& root);

// Points the demo phone's bundle link at bundleFolder when it leads elsewhere or nowhere, as after
// the build or the prefix moved; a bundle folder that is no link is left alone. False, with the
// reason, when the link cannot be made.
Result<void> linkDemoBundle(const std::filesystem::path& root, const std::filesystem::path& bundleFolder);

}
