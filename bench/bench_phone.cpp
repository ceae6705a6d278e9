#include "bench_phone.h"

#include "demo_phone.h"
#include "kavrin/published_names.h"
#include "resources/bundle_resources.h"
#include "support/temporary_folder.h"
#include "system_notifications.h"
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/files/phone_root.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdlib.h>
#include <tuple>

namespace kavrin::bench {

namespace {

constexpr int kPhotoSide = 64;

constexpr std::array kFirstNames { "Anna", "Jonas", "Marie", "Lukas", "Sophie", "Felix", "Lea", "Paul", "Emma", "Noah",
    "Clara", "Elias", "Greta", "Moritz", "Ida", "Karl" };
constexpr std::array kLastNames { "Berger", "Hoffmann", "Keller", "Lange", "Brandt", "Vogel", "Winter", "Sommer",
    "Engel", "Roth", "Busch", "Franke", "Haas", "Lorenz" };
constexpr std::array kLabels { "_$!<Mobile>!$_", "_$!<Home>!$_", "_$!<Work>!$_", "iPhone", "_$!<Main>!$_", "Büro" };

// Every name differs from every other, its first word too (which a metro tile shows), as in a
// real list: no text the widget or the renderer measures comes twice.
std::string contactName(int index)
{
    const auto round = static_cast<std::size_t>(index) / kFirstNames.size();
    return std::string(kFirstNames[static_cast<std::size_t>(index) % kFirstNames.size()]) + (round > 0 ? std::to_string(round) : "") + " "
        + kLastNames[static_cast<std::size_t>(index / 3) % kLastNames.size()];
}

std::string phoneNumber(int index)
{
    return "+49 170 " + std::to_string(2000000 + 7919 * index);
}

std::string phoneFolderName(int favorites)
{
    std::array<char, 16> name {};
    std::snprintf(name.data(), name.size(), "phone-%05d", favorites);
    return name.data();
}

}

std::filesystem::path benchFolder(const std::string& name)
{
    // The run's folder, removed with whatever is left in it when the run ends.
    static const kavrin::testing::TemporaryFolder run;
    if (run.path().empty()) {
        std::perror("bench folder");
        std::abort();
    }
    return run.path() / name;
}

BenchPhone::BenchPhone(int favorites)
    : m_phone(benchFolder(phoneFolderName(favorites)))
    , m_favorites(favorites)
{
    std::filesystem::remove_all(m_phone.root());
    if (auto written = writeFiles(m_phone, favorites, Bundle::Generated); !written) {
        std::fprintf(stderr, "bench phone: %s\n", written.error().c_str());
        std::abort();
    }
}

BenchPhone::~BenchPhone()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_phone.root(), ignored);
}

Result<void> BenchPhone::writeForHost(const std::filesystem::path& root, int favorites)
{
    if (root.empty() || favorites < 0)
        return Error { "a folder and a number of favorites are needed" };
    // Another folder gets its files replaced, and nothing else.
    return writeFiles(phone_files::PhoneWriter(std::filesystem::absolute(root)), favorites, Bundle::LinkedToBuild);
}

Result<void> BenchPhone::writeFiles(const phone_files::PhoneWriter& phone, int favorites, Bundle bundle)
{
    std::vector<phone_files::FavoriteRecord> entries;
    for (int i = 0; i < favorites; ++i) {
        entries.push_back({ contactName(i), kFirstRecordId + i, kLabels[static_cast<std::size_t>(i) % kLabels.size()], phoneNumber(i),
            { { "Type", weeapp::sys::Value::integer(0) }, { "UID", weeapp::sys::Value::integer(5000 + i) } } });
    }
    if (!phone.makeFolders() || !phone.writeFavorites(entries))
        return Error { "cannot write the favorites" };

    phone_files::AddressBookWriter book(phone);
    phone_files::ThumbnailWriter images(phone);
    for (int i = 0; i < favorites; ++i) {
        book.addValue({ kFirstRecordId + i, phone_files::kPhoneProperty, phoneNumber(i), std::nullopt, 0 });
        book.addValue({ kFirstRecordId + i, phone_files::kMailProperty, "contact" + std::to_string(i) + "@example.org", std::nullopt, 0 });
        images.addThumbnail({ kFirstRecordId + i, photoBytes() });
    }
    if (!book.commit() || !images.commit())
        return Error { "cannot write the address-book databases" };

    if (bundle == Bundle::Generated) {
        for (const auto& [path, side, seed] : { std::tuple { kBackgroundImagePath, 32, 1u }, std::tuple { kPlaceholderPhotoPath, kPhotoSide, 2u } }) {
            if (!phone.writeFile(path, photoPng(side, side, seed)))
                return Error { "cannot write the bundle's images" };
        }
    } else {
        if (auto linked = phone.linkBundle(kBundlePath, phone_files::builtBundleFolder()); !linked)
            return linked;
        std::error_code ignored;
        std::filesystem::create_directories(phone.realPath(phone_files::kSystemNotificationFolder), ignored);
    }
    if (!phone.writeSettings(settingsFor(Look::Standard)))
        return Error { "cannot write the settings" };
    return {};
}

void BenchPhone::makeCurrent() const
{
    weeapp::sys::setPhoneRoot(m_phone.root());
}

std::string BenchPhone::realPath(const std::string& phonePath) const
{
    return m_phone.realPath(phonePath).string();
}

void BenchPhone::writeSettings(const weeapp::sys::Dictionary& settings, weeapp::sys::PropertyListFormat format) const
{
    if (!m_phone.writeSettings(settings, format)) {
        std::fprintf(stderr, "bench phone: cannot write the settings\n");
        std::abort();
    }
}

const std::vector<std::uint8_t>& BenchPhone::photoBytes()
{
    static const std::vector<std::uint8_t> bytes = photoPng(kPhotoSide, kPhotoSide, 3);
    return bytes;
}

const BenchPhone& phoneWithFavorites(int favorites)
{
    static std::map<int, std::unique_ptr<BenchPhone>> phones;
    auto& phone = phones[favorites];
    if (!phone)
        phone = std::make_unique<BenchPhone>(favorites);
    return *phone;
}

weeapp::sys::Dictionary settingsFor(Look look)
{
    const bool metro = isMetro(look);
    int tilesAlign = 0;
    if (look == Look::Metro2)
        tilesAlign = 2;
    else if (look == Look::Metro3)
        tilesAlign = 3;
    else if (look == Look::Metro4)
        tilesAlign = 4;
    return {
        { "metroStyle", weeapp::sys::Value::boolean(metro) },
        { "fiveIcons", weeapp::sys::Value::boolean(false) },
        { "showLabels", weeapp::sys::Value::boolean(look == Look::StandardWithBadges) },
        { "showBg", weeapp::sys::Value::boolean(false) },
        { "animateMetrosOff", weeapp::sys::Value::boolean(false) },
        { "askForCall", weeapp::sys::Value::boolean(false) },
        { "askForText", weeapp::sys::Value::boolean(false) },
        { "askForMail", weeapp::sys::Value::boolean(false) },
        { "standardAction", weeapp::sys::Value::integer(0) },
        { "tilesAlign", weeapp::sys::Value::integer(tilesAlign) },
        { "metroBackground", weeapp::sys::Value::integer(metro ? 4 : 0) },
        { "settingsVersion", weeapp::sys::Value::integer(3) },
        { "writerBuild", weeapp::sys::Value::string("1.4.2 (2013-11-02)") },
        { "lastWrittenBy", weeapp::sys::Value::string("kavrin-prefs") },
        { "firstLaunchDone", weeapp::sys::Value::boolean(true) },
    };
}

const char* lookName(Look look)
{
    switch (look) {
    case Look::Standard:
        return "standard";
    case Look::StandardWithBadges:
        return "standard+badges";
    case Look::Metro1:
        return "metro1";
    case Look::Metro2:
        return "metro2";
    case Look::Metro3:
        return "metro3";
    case Look::Metro4:
        return "metro4";
    }
    return "?";
}

bool isMetro(Look look)
{
    return look != Look::Standard && look != Look::StandardWithBadges;
}

std::vector<std::uint8_t> photoPng(int width, int height, std::uint32_t seed)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int grain = static_cast<int>(state >> 28) - 8;
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            const double face = std::exp(-((u - 0.5) * (u - 0.5) + (v - 0.45) * (v - 0.45)) * 9.0);
            const int channels[3] = {
                static_cast<int>(90 + 130 * face + 30 * v) + grain,
                static_cast<int>(70 + 100 * face + 20 * u) + grain,
                static_cast<int>(110 + 60 * face - 40 * v) + grain,
            };
            for (int c = 0; c < 3; ++c)
                rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3 + static_cast<std::size_t>(c)]
                    = static_cast<std::uint8_t>(std::clamp(channels[c], 0, 255));
        }
    }
    std::optional<phone_files::Bytes> bytes = phone_files::encodePng(width, height, phone_files::PixelLayout::Rgb, rgb);
    if (!bytes) {
        std::fprintf(stderr, "bench phone: cannot encode a photo\n");
        std::abort();
    }
    return *bytes;
}

}
