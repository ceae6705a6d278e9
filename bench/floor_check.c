/* An independent check of the bench's floor of a standard first view: the same library calls
 * as the widget makes for it, in the widget's own order, written without any of the widget's or
 * the bench's code. Run under callgrind with --collect-atstart=no, it counts one first view
 * after one to warm up:
 *   floor_check PHONE-ROOT FAVORITES
 * on a phone written by kavrin-bench --write-phone with that many favorites. */
#include <fcntl.h>
#include <plist/plist.h>
#include <png.h>
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

static char settingsPath[4096];
static char favoritesPath[4096];
static char imagesPath[4096];

static plist_t readPropertyList(const char* path)
{
    plist_t root = NULL;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return NULL;
    struct stat status;
    if (fstat(fd, &status) == 0 && status.st_size > 0) {
        char* bytes = malloc((size_t)status.st_size + 1);
        const ssize_t got = read(fd, bytes, (size_t)status.st_size);
        if (got > 0) {
            bytes[got] = '\0';
            plist_from_memory(bytes, (uint32_t)got, &root);
        }
        free(bytes);
    }
    close(fd);
    return root;
}

/* One settings lookup: the whole file read and parsed, one key looked up, all freed. */
static int lookUp(const char* key)
{
    plist_t root = readPropertyList(settingsPath);
    uint64_t number = 0;
    uint8_t flag = 0;
    if (root && plist_get_node_type(root) == PLIST_DICT) {
        plist_t item = plist_dict_get_item(root, key);
        if (item && plist_get_node_type(item) == PLIST_BOOLEAN)
            plist_get_bool_val(item, &flag);
        else if (item && plist_get_node_type(item) == PLIST_UINT)
            plist_get_uint_val(item, &number);
    }
    plist_free(root);
    return flag || number;
}

static uint32_t favoritesCount(void)
{
    plist_t root = readPropertyList(favoritesPath);
    const uint32_t count = root && plist_get_node_type(root) == PLIST_ARRAY ? plist_array_get_size(root) : 0;
    plist_free(root);
    return count;
}

/* One photo: its query on a connection of its own, the blob decoded where SQLite holds it. */
static int photo(int recordId)
{
    int decoded = 0;
    char sql[128];
    snprintf(sql, sizeof sql, "select data from ABThumbnailImage WHERE format=0 AND record_id=%i", recordId);
    sqlite3* connection = NULL;
    if (sqlite3_open_v2(imagesPath, &connection, SQLITE_OPEN_READONLY, NULL) == SQLITE_OK) {
        sqlite3_stmt* statement = NULL;
        if (sqlite3_prepare_v2(connection, sql, -1, &statement, NULL) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                png_image image = { .version = PNG_IMAGE_VERSION };
                const void* bytes = sqlite3_column_blob(statement, 0);
                if (png_image_begin_read_from_memory(&image, bytes, (size_t)sqlite3_column_bytes(statement, 0))) {
                    image.format = PNG_FORMAT_RGBA;
                    void* pixels = malloc(PNG_IMAGE_SIZE(image));
                    decoded = png_image_finish_read(&image, NULL, pixels, 0, NULL) != 0;
                    png_image_free(&image);
                    free(pixels);
                }
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(connection);
    return decoded;
}

/* The background pass, then the tile rebuild: the favorites list, and for each tile its photo
 * and the badge setting. */
static int firstView(int firstRecord)
{
    int seen = lookUp("metroBackground") + lookUp("metroStyle") + lookUp("fiveIcons") + lookUp("showBg");
    const uint32_t count = favoritesCount();
    seen += lookUp("metroStyle");
    for (uint32_t i = 0; i < count; ++i) {
        seen += photo(firstRecord + (int)i);
        seen += lookUp("showLabels");
    }
    return seen;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: floor_check PHONE-ROOT\n");
        return 2;
    }
    snprintf(settingsPath, sizeof settingsPath, "%s/private/var/mobile/Library/Preferences/de.quillfen.kavrin.plist", argv[1]);
    snprintf(favoritesPath, sizeof favoritesPath, "%s/private/var/mobile/Library/Preferences/com.apple.mobilephone.speeddial.plist", argv[1]);
    snprintf(imagesPath, sizeof imagesPath, "%s/private/var/mobile/Library/AddressBook/AddressBookImages.sqlitedb", argv[1]);
    const int warm = firstView(100);
    CALLGRIND_TOGGLE_COLLECT;
    const int counted = firstView(100);
    CALLGRIND_TOGGLE_COLLECT;
    if (warm != counted || warm == 0) {
        fprintf(stderr, "floor_check: the phone at %s does not hold what the first view reads\n", argv[1]);
        return 1;
    }
    return 0;
}
