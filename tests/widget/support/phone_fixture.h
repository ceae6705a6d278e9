#pragma once

#include "controller/kavrin_controller.h"
#include "phone_writer.h"
#include <weeapp/sys/value.h>
#include <weeapp/ui/views/alert_view.h>
#include <weeapp/ui/views/window.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::testing {

using Favorite = phone_files::FavoriteRecord;
using ThumbnailRow = phone_files::ContactThumbnail;

// An address-book value, an e-mail address unless another property is given.
struct MailRow {
    std::int64_t recordId;
    std::optional<std::string> value;
    std::int64_t property { phone_files::kMailProperty };
};

// A phone root of its own for each test, with every singleton the widget talks to reset: the
// run loop on a manual clock at 0, the notification centres, user defaults, animations, and
// the alert presenter and URL handler recording what the widget hands out.
class PhoneFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path realPath(const std::string& phonePath) const;

    // The settings file, XML unless binary is asked for.
    void writeSettings(const weeapp::sys::Dictionary& settings, bool binary = false);
    void setSetting(const std::string& key, weeapp::sys::ValuePtr value);
    void writeFavorites(const std::vector<Favorite>& favorites);
    void writeFavoritesValue(const weeapp::sys::ValuePtr& root);
    void writeAddressBook(const std::vector<MailRow>& rows);
    void writeThumbnails(const std::vector<ThumbnailRow>& rows);
    // The two bundle images, 10 by 10 (background) and 8 by 8 (placeholder).
    void writeBundleImages();

    // A controller whose view hangs in a window, as the host shows it.
    KavrinController& showWidget();
    void setLanguages(const std::vector<std::string>& codes);

    std::unique_ptr<KavrinController> controller { std::make_unique<KavrinController>() };
    std::shared_ptr<weeapp::ui::Window> window;
    std::vector<std::string> openedURLs;
    std::vector<std::shared_ptr<weeapp::ui::AlertView>> alerts;

private:
    phone_files::PhoneWriter m_phone { "" };
    weeapp::sys::Dictionary m_settings;
};

// A solid PNG of the given size.
std::vector<std::uint8_t> pngBytes(int width, int height);

std::vector<Favorite> numberedFavorites(int count);

// The tile buttons and labels of the scroll view, in the order they were added.
std::vector<weeapp::ui::Button*> tileButtons(const weeapp::ui::ScrollView&);
std::vector<weeapp::ui::Label*> tileLabels(const weeapp::ui::ScrollView&);

}
