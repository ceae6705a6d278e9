#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::bench {

// The work a behaviour cannot do without, done directly with the libraries and nothing else:
// reading and parsing a property-list file, one SQLite query on its own connection, decoding a
// photo. Each benchmark's floor is a count of these.

// Reads the whole file and parses it with libplist; the root's key, as a boolean (missing: false).
bool floorSettingLookup(const std::string& filePath, const char* key);
// Reads and parses a property list whose root is an array; its element count.
std::size_t floorArrayFile(const std::string& filePath);
// Opens the database read-only, runs the query, keeps the last row's column 0 as text, closes.
std::string floorTextQuery(const std::string& databasePath, const std::string& sql);
// The same for a blob; no value when no row came.
std::optional<std::vector<std::uint8_t>> floorBlobQuery(const std::string& databasePath, const std::string& sql);
// Decodes a PNG to RGBA pixels with libpng; false for bytes that are not one.
bool floorDecodePng(const std::vector<std::uint8_t>& bytes);
bool floorDecodePng(const void* bytes, std::size_t length);
// A photo query whose blob is decoded where SQLite holds it, without a copy; false when no
// row came or it is no PNG.
bool floorPhotoQuery(const std::string& databasePath, const std::string& sql);
// Reads a whole file.
std::vector<std::uint8_t> floorReadFile(const std::string& filePath);

// A case's floor, as counts of the operations above on the current bench phone.
struct FloorPlan {
    int settingsLookups { 0 };
    int favoritesReads { 0 };
    int mailQueries { 0 };       // for a record that has an address
    int absentMailQueries { 0 }; // for a record that has none
    int photoQueries { 0 };      // for a record that has a photo, with its decode
    int placeholderPhotos { 0 }; // a query that finds no photo, then the bundle's photo read and decoded
};

class BenchPhone;
// The plan on a phone, with the phone's real paths joined once: photo and mail queries go to
// consecutive favorites' records.
class FloorRun {
public:
    FloorRun(const BenchPhone&, const FloorPlan&);
    void run() const;

private:
    FloorPlan m_plan;
    int m_favorites;
    std::string m_settings;
    std::string m_favoritesList;
    std::string m_book;
    std::string m_images;
    std::string m_placeholder;
};

}
