#include "floor_operations.h"

#include "bench_phone.h"
#include "kavrin/published_names.h"
#include "resources/bundle_resources.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/phone_paths.h>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <plist/plist.h>
#include <png.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace kavrin::bench {

namespace {

std::string readText(const std::string& filePath)
{
    std::string bytes;
    const weeapp::FileDescriptor fd(::open(filePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return bytes;
    struct stat status { };
    if (::fstat(fd.get(), &status) == 0 && status.st_size > 0) {
        bytes.resize(static_cast<std::size_t>(status.st_size));
        const ssize_t got = ::read(fd.get(), bytes.data(), bytes.size());
        bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    return bytes;
}

weeapp::PlistNode parse(const std::string& bytes)
{
    weeapp::PlistNode root;
    if (!bytes.empty())
        plist_from_memory(bytes.c_str(), static_cast<uint32_t>(bytes.size()), root.out());
    return root;
}

template<typename OnRow>
void query(const std::string& databasePath, const std::string& sql, OnRow onRow)
{
    weeapp::SqliteConnection connection;
    if (sqlite3_open_v2(databasePath.c_str(), connection.out(), SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        weeapp::SqliteStatement statement;
        if (sqlite3_prepare_v2(connection.get(), sql.c_str(), -1, statement.out(), nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement.get()) == SQLITE_ROW)
                onRow(statement.get());
        }
    }
}

std::string mailSql(std::int32_t recordId)
{
    return "select value from ABMultiValue WHERE property=4 AND record_id=" + std::to_string(recordId);
}

std::string photoSql(std::int32_t recordId)
{
    return "select data from ABThumbnailImage WHERE format=0 AND record_id=" + std::to_string(recordId);
}

}

bool floorSettingLookup(const std::string& filePath, const char* key)
{
    const weeapp::PlistNode root = parse(readText(filePath));
    uint8_t value = 0;
    if (root && plist_get_node_type(root.get()) == PLIST_DICT) {
        plist_t item = plist_dict_get_item(root.get(), key);
        if (item && plist_get_node_type(item) == PLIST_BOOLEAN)
            plist_get_bool_val(item, &value);
    }
    return value != 0;
}

std::size_t floorArrayFile(const std::string& filePath)
{
    const weeapp::PlistNode root = parse(readText(filePath));
    return root && plist_get_node_type(root.get()) == PLIST_ARRAY ? plist_array_get_size(root.get()) : 0;
}

std::string floorTextQuery(const std::string& databasePath, const std::string& sql)
{
    std::string result;
    query(databasePath, sql, [&result](sqlite3_stmt* statement) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        result = text ? reinterpret_cast<const char*>(text) : "";
    });
    return result;
}

std::optional<std::vector<std::uint8_t>> floorBlobQuery(const std::string& databasePath, const std::string& sql)
{
    std::optional<std::vector<std::uint8_t>> result;
    query(databasePath, sql, [&result](sqlite3_stmt* statement) {
        const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 0));
        const int length = sqlite3_column_bytes(statement, 0);
        result.emplace(bytes, bytes + length);
    });
    return result;
}

bool floorDecodePng(const std::vector<std::uint8_t>& bytes)
{
    return floorDecodePng(bytes.data(), bytes.size());
}

bool floorDecodePng(const void* bytes, std::size_t length)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes, length))
        return false;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    const bool decoded = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    benchmark::DoNotOptimize(pixels.data());
    return decoded;
}

bool floorPhotoQuery(const std::string& databasePath, const std::string& sql)
{
    bool decoded = false;
    query(databasePath, sql, [&decoded](sqlite3_stmt* statement) {
        const void* bytes = sqlite3_column_blob(statement, 0);
        decoded = floorDecodePng(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
    });
    return decoded;
}

std::vector<std::uint8_t> floorReadFile(const std::string& filePath)
{
    const std::string text = readText(filePath);
    return { text.begin(), text.end() };
}

FloorRun::FloorRun(const BenchPhone& phone, const FloorPlan& plan)
    : m_plan(plan)
    , m_favorites(phone.favorites())
    , m_settings(phone.realPath(kSettingsPath))
    , m_favoritesList(phone.realPath(sys::kFavoritesPath))
    , m_book(phone.realPath(sys::kAddressBookPath))
    , m_images(phone.realPath(sys::kAddressBookImagesPath))
    , m_placeholder(phone.realPath(kPlaceholderPhotoPath))
{
}

void FloorRun::run() const
{
    for (int i = 0; i < m_plan.settingsLookups; ++i)
        benchmark::DoNotOptimize(floorSettingLookup(m_settings, "showLabels"));
    for (int i = 0; i < m_plan.favoritesReads; ++i)
        benchmark::DoNotOptimize(floorArrayFile(m_favoritesList));
    for (int i = 0; i < m_plan.mailQueries; ++i)
        benchmark::DoNotOptimize(floorTextQuery(m_book, mailSql(kFirstRecordId + i)));
    for (int i = 0; i < m_plan.absentMailQueries; ++i)
        benchmark::DoNotOptimize(floorTextQuery(m_book, mailSql(kAbsentRecordId)));
    for (int i = 0; i < m_plan.photoQueries; ++i) {
        benchmark::DoNotOptimize(floorPhotoQuery(m_images, photoSql(kFirstRecordId + i % std::max(m_favorites, 1))));
    }
    for (int i = 0; i < m_plan.placeholderPhotos; ++i) {
        benchmark::DoNotOptimize(floorBlobQuery(m_images, photoSql(kAbsentRecordId)));
        benchmark::DoNotOptimize(floorDecodePng(floorReadFile(m_placeholder)));
    }
}

}
