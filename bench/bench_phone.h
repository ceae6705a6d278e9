#pragma once

#include "phone_writer.h"
#include <weeapp/sys/plist/property_list.h>
#include <weeapp/sys/value.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kavrin::bench {

// The first record id of the phone's contacts; favorite i is record kFirstRecordId + i.
inline constexpr std::int32_t kFirstRecordId = 100;
// A record id that no table holds.
inline constexpr std::int32_t kAbsentRecordId = 7;

// A phone root with the files the widget reads: the favorites list, the two address-book
// databases (an e-mail address and a 64 by 64 photo for every favorite's contact), the bundle's
// two images and a settings file of the standard look, which each benchmark rewrites for its own.
class BenchPhone {
public:
    // A phone of its own in the temporary folder whose favorites list holds that many
    // contacts, with generated bundle images; the folder is removed with the object.
    explicit BenchPhone(int favorites);
    ~BenchPhone();

    // A phone for kavrin-host in that folder, which stays: the same files, and the bundle a link
    // to the one this build made.
    static Result<void> writeForHost(const std::filesystem::path& root, int favorites);
    BenchPhone(const BenchPhone&) = delete;
    BenchPhone& operator=(const BenchPhone&) = delete;

    int favorites() const { return m_favorites; }
    // Points the platform's phone paths at this root.
    void makeCurrent() const;
    // The real path of one of the phone's paths under this root.
    std::string realPath(const std::string& phonePath) const;

    void writeSettings(const weeapp::sys::Dictionary&, weeapp::sys::PropertyListFormat = weeapp::sys::PropertyListFormat::Xml) const;

    // The bytes every contact's photo is stored with.
    static const std::vector<std::uint8_t>& photoBytes();

private:
    enum class Bundle { Generated,
        LinkedToBuild };
    // The files of a phone with that many favorites.
    static Result<void> writeFiles(const phone_files::PhoneWriter&, int favorites, Bundle);

    phone_files::PhoneWriter m_phone;
    int m_favorites;
};

// A folder of that name in this run's own folder in the temporary folder. The run's folder is
// made on first use and removed at exit; its name has the same length in every run, so that the
// paths the cases and their floors pass around do not change what they cost from run to run.
std::filesystem::path benchFolder(const std::string& name);

// The phone of that size, made on first use and kept for the rest of the run.
const BenchPhone& phoneWithFavorites(int favorites);

// The settings of each look: every key the widget reads, plus a few that only the settings
// writer keeps, as a real settings file has them (about a kilobyte as XML).
enum class Look { Standard,
    StandardWithBadges,
    Metro1,
    Metro2,
    Metro3,
    Metro4 };
weeapp::sys::Dictionary settingsFor(Look);
const char* lookName(Look);
bool isMetro(Look);

// A PNG of the given size that looks like a photo: soft gradients with grain, so that it
// compresses as little as a real thumbnail does.
std::vector<std::uint8_t> photoPng(int width, int height, std::uint32_t seed);

}
