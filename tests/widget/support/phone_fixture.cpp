#include "widget/support/phone_fixture.h"

#include "kavrin/published_names.h"
#include "resources/bundle_resources.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/application.h>
#include <weeapp/sys/phone_paths.h>
#include <weeapp/sys/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/user_defaults.h>
#include <weeapp/ui/button.h>
#include <weeapp/ui/label.h>

#include <cairo.h>

#include <unistd.h>

namespace kavrin::testing {

void PhoneFixture::SetUp()
{
    static int counter = 0;
    m_phone = phone_files::PhoneWriter(std::filesystem::temp_directory_path() / ("kavrin-widget-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)));
    std::filesystem::remove_all(m_phone.root());
    ASSERT_TRUE(m_phone.makeFolders());
    std::filesystem::create_directories(realPath(kBundlePath));
    sys::setPhoneRoot(m_phone.root());
    sys::seedRandom(1);
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
    std::filesystem::remove_all(m_phone.root());
}

std::filesystem::path PhoneFixture::realPath(const std::string& phonePath) const
{
    return m_phone.realPath(phonePath);
}

void PhoneFixture::writeSettings(const sys::Dictionary& settings, bool binary)
{
    m_settings = settings;
    ASSERT_TRUE(m_phone.writeSettings(settings, binary ? sys::PropertyListFormat::Binary : sys::PropertyListFormat::Xml));
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
    ASSERT_TRUE(m_phone.writeFavorites(favorites));
}

void PhoneFixture::writeFavoritesValue(const sys::ValuePtr& root)
{
    ASSERT_TRUE(m_phone.writeFavoritesValue(*root));
}

void PhoneFixture::writeAddressBook(const std::vector<MailRow>& rows)
{
    phone_files::AddressBookWriter book(m_phone);
    for (const MailRow& row : rows)
        EXPECT_TRUE(book.addValue({ row.recordId, row.property, row.value }));
    ASSERT_TRUE(book.commit());
}

void PhoneFixture::writeThumbnails(const std::vector<ThumbnailRow>& rows)
{
    phone_files::ThumbnailWriter images(m_phone);
    for (const ThumbnailRow& row : rows)
        EXPECT_TRUE(images.addThumbnail(row));
    ASSERT_TRUE(images.commit());
}

void PhoneFixture::writeBundleImages()
{
    for (const auto& [path, side] : { std::pair { kBackgroundImagePath, 10 }, std::pair { kPlaceholderPhotoPath, 8 } })
        ASSERT_TRUE(m_phone.writeFile(path, pngBytes(side, side)));
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
    const weeapp::CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    {
        const weeapp::CairoContext cairo(cairo_create(surface.get()));
        cairo_set_source_rgb(cairo.get(), 0.2, 0.5, 0.8);
        cairo_paint(cairo.get());
    }
    return phone_files::encodePng(surface.get()).value_or(phone_files::Bytes {});
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
