#include "widget/support/phone_fixture.h"

#include "kavrin/published_names.h"
#include "resources/bundle_resources.h"
#include <weeapp/c_handles.h>
#include <weeapp/sys/application.h>
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/sys/random.h>
#include <weeapp/sys/user_defaults.h>
#include <weeapp/ui/views/button.h>
#include <weeapp/ui/views/label.h>

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
    weeapp::sys::setPhoneRoot(m_phone.root());
    weeapp::sys::seedRandom(1);
    weeapp::ui::AlertView::setPresenter([this](std::shared_ptr<weeapp::ui::AlertView> alert) { alerts.push_back(std::move(alert)); });
    weeapp::sys::Application::sharedApplication().setOpenURLHandler([this](const weeapp::sys::URL& url) {
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

void PhoneFixture::writeSettings(const weeapp::sys::Dictionary& settings, bool binary)
{
    m_settings = settings;
    ASSERT_TRUE(m_phone.writeSettings(settings, binary ? weeapp::sys::PropertyListFormat::Binary : weeapp::sys::PropertyListFormat::Xml));
}

void PhoneFixture::setSetting(const std::string& key, weeapp::sys::ValuePtr value)
{
    weeapp::sys::Dictionary settings = m_settings;
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

void PhoneFixture::writeFavoritesValue(const weeapp::sys::ValuePtr& root)
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
    window = weeapp::ui::Window::create({ 0, 0, 320, 480 });
    window->addSubview(controller->view());
    return *controller;
}

void PhoneFixture::setLanguages(const std::vector<std::string>& codes)
{
    weeapp::sys::Array languages;
    for (const std::string& code : codes)
        languages.push_back(weeapp::sys::Value::string(code));
    weeapp::sys::UserDefaults::standardUserDefaults().setObjectForKey(weeapp::sys::Value::array(std::move(languages)), weeapp::sys::kAppleLanguagesKey);
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

std::vector<weeapp::ui::Button*> tileButtons(const weeapp::ui::ScrollView& scrollView)
{
    std::vector<weeapp::ui::Button*> buttons;
    for (const weeapp::ui::ViewPtr& child : scrollView.subviews()) {
        if (auto* button = dynamic_cast<weeapp::ui::Button*>(child.get()))
            buttons.push_back(button);
    }
    return buttons;
}

std::vector<weeapp::ui::Label*> tileLabels(const weeapp::ui::ScrollView& scrollView)
{
    std::vector<weeapp::ui::Label*> labels;
    for (const weeapp::ui::ViewPtr& child : scrollView.subviews()) {
        if (auto* label = dynamic_cast<weeapp::ui::Label*>(child.get()))
            labels.push_back(label);
    }
    return labels;
}

}
