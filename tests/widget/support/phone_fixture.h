#pragma once

#include "controller/kavrin_controller.h"
#include "sys/value.h"
#include "ui/alert_view.h"
#include "ui/window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::testing {

// One favorite as the dialler stores it; a missing optional leaves its key out.
struct Favorite {
    std::optional<std::string> name;
    std::optional<std::int64_t> uid;
    std::optional<std::string> label;
    std::optional<std::string> value;
};

struct MailRow {
    std::int64_t recordId;
    std::optional<std::string> value;
    std::int64_t property { 4 };
};

struct ThumbnailRow {
    std::int64_t recordId;
    std::vector<std::uint8_t> data;
    std::int64_t format { 0 };
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
    void writeSettings(const sys::Dictionary& settings, bool binary = false);
    void setSetting(const std::string& key, sys::ValuePtr value);
    void writeFavorites(const std::vector<Favorite>& favorites);
    void writeFavoritesValue(const sys::ValuePtr& root);
    void writeAddressBook(const std::vector<MailRow>& rows);
    void writeThumbnails(const std::vector<ThumbnailRow>& rows);
    // The two bundle images, 10 by 10 (background) and 8 by 8 (placeholder).
    void writeBundleImages();

    // A controller whose view hangs in a window, as the host shows it.
    KavrinController& showWidget();
    void setLanguages(const std::vector<std::string>& codes);

    std::unique_ptr<KavrinController> controller { std::make_unique<KavrinController>() };
    std::shared_ptr<ui::Window> window;
    std::vector<std::string> openedURLs;
    std::vector<std::shared_ptr<ui::AlertView>> alerts;

private:
    std::filesystem::path m_root;
    sys::Dictionary m_settings;
};

// A solid PNG of the given size, made with Cairo.
std::vector<std::uint8_t> pngBytes(int width, int height);

std::vector<Favorite> numberedFavorites(int count);

// The tile buttons and labels of the scroll view, in the order they were added.
std::vector<ui::Button*> tileButtons(const ui::ScrollView&);
std::vector<ui::Label*> tileLabels(const ui::ScrollView&);

}
