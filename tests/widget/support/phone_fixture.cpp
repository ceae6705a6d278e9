#include "widget/support/phone_fixture.h"

#include "kavrin/published_names.h"
#include "resources/bundle_resources.h"
#include "sys/application.h"
#include "sys/darwin_notify_center.h"
#include "sys/notification_center.h"
#include "sys/phone_paths.h"
#include "sys/phone_root.h"
#include "sys/property_list.h"
#include "sys/random.h"
#include "sys/run_loop.h"
#include "sys/user_defaults.h"
#include "ui/animation.h"
#include "ui/button.h"
#include "ui/label.h"

#include <cairo.h>
#include <sqlite3.h>

#include <fstream>
#include <unistd.h>

namespace kavrin::testing {

namespace {

void execute(sqlite3* database, const std::string& sql)
{
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(database, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

}

void PhoneFixture::SetUp()
{
    static int counter = 0;
    m_root = std::filesystem::temp_directory_path() / ("kavrin-widget-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_root);
    std::filesystem::create_directories(realPath("/private/var/mobile/Library/Preferences"));
    std::filesystem::create_directories(realPath("/private/var/mobile/Library/AddressBook"));
    std::filesystem::create_directories(realPath(kBundlePath));
    sys::setPhoneRoot(m_root);

    sys::RunLoop::main().removeAllTasks();
    sys::RunLoop::main().setClock(std::make_shared<sys::ManualClock>());
    sys::NotificationCenter::defaultCenter().removeAllObservers();
    sys::DarwinNotifyCenter::shared().reset();
    sys::UserDefaults::standardUserDefaults().removeAllObjects();
    sys::seedRandom(1);
    ui::Animations::reset();
    ui::AlertView::setPresenter([this](std::shared_ptr<ui::AlertView> alert) { alerts.push_back(std::move(alert)); });
    sys::Application::sharedApplication().setOpenURLHandler([this](const sys::URL& url) {
        openedURLs.push_back(url.absoluteString());
        return true;
    });
}

void PhoneFixture::TearDown()
{
    controller.reset();
    window.reset();
    alerts.clear();
    ui::AlertView::setPresenter(nullptr);
    sys::Application::sharedApplication().setOpenURLHandler(nullptr);
    sys::RunLoop::main().removeAllTasks();
    ui::Animations::reset();
    sys::NotificationCenter::defaultCenter().removeAllObservers();
    sys::DarwinNotifyCenter::shared().reset();
    sys::setPhoneRoot("/");
    std::filesystem::remove_all(m_root);
}

std::filesystem::path PhoneFixture::realPath(const std::string& phonePath) const
{
    return m_root / std::filesystem::path(phonePath).relative_path();
}

void PhoneFixture::writeSettings(const sys::Dictionary& settings, bool binary)
{
    m_settings = settings;
    ASSERT_TRUE(sys::writePropertyListAtomically(*sys::Value::dictionary(settings), realPath(kSettingsPath),
        binary ? sys::PropertyListFormat::Binary : sys::PropertyListFormat::Xml));
}

void PhoneFixture::setSetting(const std::string& key, sys::ValuePtr value)
{
    sys::Dictionary settings = m_settings;
    if (value)
        settings[key] = std::move(value);
    else
        settings.erase(key);
    writeSettings(settings);
}

void PhoneFixture::writeFavorites(const std::vector<Favorite>& favorites)
{
    sys::Array entries;
    for (const Favorite& favorite : favorites) {
        sys::Dictionary entry;
        if (favorite.name)
            entry["Name"] = sys::Value::string(*favorite.name);
        if (favorite.uid)
            entry["ABUid"] = sys::Value::integer(*favorite.uid);
        if (favorite.label)
            entry["Label"] = sys::Value::string(*favorite.label);
        if (favorite.value)
            entry["Value"] = sys::Value::string(*favorite.value);
        entries.push_back(sys::Value::dictionary(std::move(entry)));
    }
    writeFavoritesValue(sys::Value::array(std::move(entries)));
}

void PhoneFixture::writeFavoritesValue(const sys::ValuePtr& root)
{
    ASSERT_TRUE(sys::writePropertyListAtomically(*root, realPath(sys::kFavoritesPath), sys::PropertyListFormat::Binary));
}

void PhoneFixture::writeAddressBook(const std::vector<MailRow>& rows)
{
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(realPath(sys::kAddressBookPath).c_str(), &database), SQLITE_OK);
    execute(database, "CREATE TABLE IF NOT EXISTS ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER, value TEXT)");
    for (const MailRow& row : rows) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(database, "INSERT INTO ABMultiValue (record_id, property, value) VALUES (?, ?, ?)", -1, &statement, nullptr);
        sqlite3_bind_int64(statement, 1, row.recordId);
        sqlite3_bind_int64(statement, 2, row.property);
        if (row.value)
            sqlite3_bind_text(statement, 3, row.value->data(), static_cast<int>(row.value->size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE);
        sqlite3_finalize(statement);
    }
    sqlite3_close(database);
}

void PhoneFixture::writeThumbnails(const std::vector<ThumbnailRow>& rows)
{
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(realPath(sys::kAddressBookImagesPath).c_str(), &database), SQLITE_OK);
    execute(database, "CREATE TABLE IF NOT EXISTS ABThumbnailImage (record_id INTEGER, format INTEGER, derived_from_format INTEGER, data BLOB)");
    for (const ThumbnailRow& row : rows) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(database, "INSERT INTO ABThumbnailImage (record_id, format, data) VALUES (?, ?, ?)", -1, &statement, nullptr);
        sqlite3_bind_int64(statement, 1, row.recordId);
        sqlite3_bind_int64(statement, 2, row.format);
        sqlite3_bind_blob(statement, 3, row.data.data(), static_cast<int>(row.data.size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE);
        sqlite3_finalize(statement);
    }
    sqlite3_close(database);
}

void PhoneFixture::writeBundleImages()
{
    for (const auto& [path, side] : { std::pair { kBackgroundImagePath, 10 }, std::pair { kPlaceholderPhotoPath, 8 } }) {
        const std::vector<std::uint8_t> bytes = pngBytes(side, side);
        std::ofstream(realPath(path), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

KavrinController& PhoneFixture::showWidget()
{
    window = ui::Window::create({ 0, 0, 320, 480 });
    window->addSubview(controller->view());
    return *controller;
}

void PhoneFixture::setLanguages(const std::vector<std::string>& codes)
{
    sys::Array languages;
    for (const std::string& code : codes)
        languages.push_back(sys::Value::string(code));
    sys::UserDefaults::standardUserDefaults().setObjectForKey(sys::Value::array(std::move(languages)), sys::kAppleLanguagesKey);
}

std::vector<std::uint8_t> pngBytes(int width, int height)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cairo = cairo_create(surface);
    cairo_set_source_rgb(cairo, 0.2, 0.5, 0.8);
    cairo_paint(cairo);
    cairo_destroy(cairo);
    std::vector<std::uint8_t> bytes;
    cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
    cairo_surface_destroy(surface);
    return bytes;
}

std::vector<Favorite> numberedFavorites(int count)
{
    std::vector<Favorite> favorites;
    for (int i = 0; i < count; ++i)
        favorites.push_back({ "Person " + std::to_string(i), 100 + i, "_$!<Mobile>!$_", "+49 170 " + std::to_string(1000 + i) });
    return favorites;
}

std::vector<ui::Button*> tileButtons(const ui::ScrollView& scrollView)
{
    std::vector<ui::Button*> buttons;
    for (const ui::ViewPtr& child : scrollView.subviews()) {
        if (auto* button = dynamic_cast<ui::Button*>(child.get()))
            buttons.push_back(button);
    }
    return buttons;
}

std::vector<ui::Label*> tileLabels(const ui::ScrollView& scrollView)
{
    std::vector<ui::Label*> labels;
    for (const ui::ViewPtr& child : scrollView.subviews()) {
        if (auto* label = dynamic_cast<ui::Label*>(child.get()))
            labels.push_back(label);
    }
    return labels;
}

}
