#include "bench_phone.h"

#include "demo_phone_writer.h"
#include "kavrin/published_names.h"
#include "phone_files.h"
#include "resources/bundle_resources.h"
#include "sys/phone_paths.h"
#include "sys/phone_root.h"

#include <png.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <tuple>

namespace kavrin::bench {

namespace {

constexpr int kPhotoSide = 64;

constexpr std::array kFirstNames { "Anna", "Jonas", "Marie", "Lukas", "Sophie", "Felix", "Lea", "Paul", "Emma", "Noah",
    "Clara", "Elias", "Greta", "Moritz", "Ida", "Karl" };
constexpr std::array kLastNames { "Berger", "Hoffmann", "Keller", "Lange", "Brandt", "Vogel", "Winter", "Sommer",
    "Engel", "Roth", "Busch", "Franke", "Haas", "Lorenz" };
constexpr std::array kLabels { "_$!<Mobile>!$_", "_$!<Home>!$_", "_$!<Work>!$_", "iPhone", "_$!<Main>!$_", "Büro" };

void execute(sqlite3* database, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(database, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "bench phone: %s: %s\n", sql, error ? error : "?");
        std::abort();
    }
}

sqlite3* createDatabase(const std::string& path)
{
    std::filesystem::remove(path);
    sqlite3* database = nullptr;
    if (sqlite3_open(path.c_str(), &database) != SQLITE_OK) {
        std::fprintf(stderr, "bench phone: cannot create %s\n", path.c_str());
        std::abort();
    }
    return database;
}

std::string contactName(int index)
{
    return std::string(kFirstNames[static_cast<std::size_t>(index) % kFirstNames.size()]) + " "
        + kLastNames[static_cast<std::size_t>(index / 3) % kLastNames.size()];
}

}

BenchPhone::BenchPhone(int favorites)
    : BenchPhone(std::filesystem::temp_directory_path() / ("kavrin-bench-" + std::to_string(::getpid()) + "-" + std::to_string(favorites)),
        favorites, Bundle::Generated, true)
{
}

BenchPhone::BenchPhone(std::filesystem::path root, int favorites, Bundle bundle, bool removeWithObject)
    : m_root(std::move(root))
    , m_favorites(favorites)
    , m_removeWithObject(removeWithObject)
{
    // A folder of our own starts empty; another gets its files replaced, and nothing else.
    if (removeWithObject)
        std::filesystem::remove_all(m_root);
    std::filesystem::create_directories(realPath("/private/var/mobile/Library/Preferences"));
    std::filesystem::create_directories(realPath("/private/var/mobile/Library/AddressBook"));
    writeFavorites();
    writeAddressBooks();
    if (bundle == Bundle::Generated) {
        std::filesystem::create_directories(realPath(kBundlePath));
        writeBundleImages();
    } else {
        linkBuiltBundle();
        std::filesystem::create_directories(realPath(tooling::kSystemNotificationFolder));
    }
    writeSettings(settingsFor(Look::Standard));
}

BenchPhone::~BenchPhone()
{
    if (!m_removeWithObject)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

bool BenchPhone::writeForHost(const std::filesystem::path& root, int favorites, std::string& error)
{
    if (root.empty() || favorites < 0) {
        error = "a folder and a number of favorites are needed";
        return false;
    }
    try {
        BenchPhone phone(std::filesystem::absolute(root), favorites, Bundle::LinkedToBuild, false);
    } catch (const std::filesystem::filesystem_error& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

void BenchPhone::linkBuiltBundle() const
{
    std::string bundle = realPath(kBundlePath);
    bundle.pop_back();
    std::filesystem::create_directories(std::filesystem::path(bundle).parent_path());
    if (std::filesystem::is_symlink(bundle))
        std::filesystem::remove(bundle);
    std::filesystem::create_directory_symlink(tooling::builtBundleFolder(), bundle);
}

void BenchPhone::makeCurrent() const
{
    sys::setPhoneRoot(m_root);
}

std::string BenchPhone::realPath(const std::string& phonePath) const
{
    return (m_root / std::filesystem::path(phonePath).relative_path()).string();
}

void BenchPhone::writeSettings(const sys::Dictionary& settings, sys::PropertyListFormat format) const
{
    if (!sys::writePropertyListAtomically(*sys::Value::dictionary(settings), realPath(kSettingsPath), format)) {
        std::fprintf(stderr, "bench phone: cannot write the settings\n");
        std::abort();
    }
}

void BenchPhone::writeFavorites() const
{
    sys::Array entries;
    for (int i = 0; i < m_favorites; ++i) {
        entries.push_back(sys::Value::dictionary({
            { "Name", sys::Value::string(contactName(i)) },
            { "ABUid", sys::Value::integer(kFirstRecordId + i) },
            { "Label", sys::Value::string(kLabels[static_cast<std::size_t>(i) % kLabels.size()]) },
            { "Value", sys::Value::string("+49 170 " + std::to_string(2000000 + 7919 * i)) },
            { "Type", sys::Value::integer(0) },
            { "UID", sys::Value::integer(5000 + i) },
        }));
    }
    // The dialler keeps its list as a binary property list.
    if (!sys::writePropertyListAtomically(*sys::Value::array(std::move(entries)), realPath(sys::kFavoritesPath), sys::PropertyListFormat::Binary)) {
        std::fprintf(stderr, "bench phone: cannot write the favorites\n");
        std::abort();
    }
}

void BenchPhone::writeAddressBooks() const
{
    // A phone's address book indexes its rows by record; the widget's queries rely on that to
    // cost the same whatever the book's size.
    sqlite3* book = createDatabase(realPath(sys::kAddressBookPath));
    execute(book, "CREATE TABLE ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER, identifier INTEGER, label INTEGER, value TEXT)");
    execute(book, "CREATE INDEX ABMultiValueRecordIndex ON ABMultiValue (record_id)");
    execute(book, "BEGIN");
    sqlite3_stmt* insertValue = nullptr;
    sqlite3_prepare_v2(book, "INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES (?, ?, 0, 1, ?)", -1, &insertValue, nullptr);
    for (int i = 0; i < m_favorites; ++i) {
        const std::string phone = "+49 170 " + std::to_string(2000000 + 7919 * i);
        const std::string mail = "contact" + std::to_string(i) + "@example.org";
        for (const auto& [property, value] : { std::pair { 3, &phone }, std::pair { 4, &mail } }) {
            sqlite3_bind_int(insertValue, 1, kFirstRecordId + i);
            sqlite3_bind_int(insertValue, 2, property);
            sqlite3_bind_text(insertValue, 3, value->c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insertValue);
            sqlite3_reset(insertValue);
        }
    }
    sqlite3_finalize(insertValue);
    execute(book, "COMMIT");
    sqlite3_close(book);

    sqlite3* images = createDatabase(realPath(sys::kAddressBookImagesPath));
    execute(images, "CREATE TABLE ABThumbnailImage (record_id INTEGER, format INTEGER, derived_from_format INTEGER, data BLOB)");
    execute(images, "CREATE INDEX ABThumbnailImageRecordIndex ON ABThumbnailImage (record_id, format)");
    execute(images, "BEGIN");
    sqlite3_stmt* insertImage = nullptr;
    sqlite3_prepare_v2(images, "INSERT INTO ABThumbnailImage (record_id, format, derived_from_format, data) VALUES (?, 0, 0, ?)", -1, &insertImage, nullptr);
    const std::vector<std::uint8_t>& photo = photoBytes();
    for (int i = 0; i < m_favorites; ++i) {
        sqlite3_bind_int(insertImage, 1, kFirstRecordId + i);
        sqlite3_bind_blob(insertImage, 2, photo.data(), static_cast<int>(photo.size()), SQLITE_STATIC);
        sqlite3_step(insertImage);
        sqlite3_reset(insertImage);
    }
    sqlite3_finalize(insertImage);
    execute(images, "COMMIT");
    sqlite3_close(images);
}

void BenchPhone::writeBundleImages() const
{
    for (const auto& [path, side, seed] : { std::tuple { kBackgroundImagePath, 32, 1u }, std::tuple { kPlaceholderPhotoPath, kPhotoSide, 2u } }) {
        const std::vector<std::uint8_t> bytes = photoPng(side, side, seed);
        std::ofstream(realPath(path), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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

sys::Dictionary settingsFor(Look look)
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
        { "metroStyle", sys::Value::boolean(metro) },
        { "fiveIcons", sys::Value::boolean(false) },
        { "showLabels", sys::Value::boolean(look == Look::StandardWithBadges) },
        { "showBg", sys::Value::boolean(false) },
        { "animateMetrosOff", sys::Value::boolean(false) },
        { "askForCall", sys::Value::boolean(false) },
        { "askForText", sys::Value::boolean(false) },
        { "askForMail", sys::Value::boolean(false) },
        { "standardAction", sys::Value::integer(0) },
        { "tilesAlign", sys::Value::integer(tilesAlign) },
        { "metroBackground", sys::Value::integer(metro ? 4 : 0) },
        { "settingsVersion", sys::Value::integer(3) },
        { "writerBuild", sys::Value::string("1.4.2 (2013-11-02)") },
        { "lastWrittenBy", sys::Value::string("kavrin-prefs") },
        { "firstLaunchDone", sys::Value::boolean(true) },
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
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr)) {
        std::fprintf(stderr, "bench phone: cannot encode a photo\n");
        std::abort();
    }
    bytes.resize(size);
    return bytes;
}

}
