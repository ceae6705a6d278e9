#include "controller/kavrin_controller.h"

#include "sources/favorites_list.h"
#include "tiles/tile_geometry.h"
#include <weeapp/ui/text/font.h>

namespace kavrin {

namespace {

// One row of tiles a page. With five a page every measure is smaller.
struct StandardGeometry {
    std::int32_t side;
    std::int32_t step;
    std::int32_t margin;
    std::int32_t badgeHeight;
};

constexpr StandardGeometry kFourPerPage { 64, 76, 12, 10 };
constexpr StandardGeometry kFivePerPage { 56, 62, 6, 8 };

std::shared_ptr<weeapp::ui::Label> makeBadge(const FavoriteEntry& entry, const StandardGeometry& geometry)
{
    const auto side = static_cast<float>(geometry.side);
    const auto badgeHeight = static_cast<float>(geometry.badgeHeight);
    auto badge = weeapp::ui::Label::create({ 0, side - badgeHeight, side, badgeHeight });
    badge->setBackgroundColor(weeapp::ui::Color::colorWithRedGreenBlueAlpha(32.0f / 255.0f, 34.0f / 255.0f, 38.0f / 255.0f, 1.0f));
    badge->setAlpha(0.9f);
    badge->setTextColor(weeapp::ui::Color::whiteColor());
    badge->setTextAlignment(weeapp::ui::TextAlignmentCenter);
    badge->setFont(weeapp::ui::Font::fontWithNameSize("Helvetica", 9.0f));
    badge->setAdjustsFontSizeToFitWidth(true);
    badge->setMinimumFontSize(6.0f);
    badge->setShadowColor(weeapp::ui::Color::darkTextColor());
    badge->setShadowOffset({ 1.0f, 1.0f });
    badge->setText(entry.displayLabel());
    return badge;
}

std::shared_ptr<weeapp::ui::Label> makeNameLabel(const FavoriteEntry& entry, float x, float y, float width)
{
    auto label = weeapp::ui::Label::create({ x, y, width, 20.0f });
    label->setBackgroundColor(weeapp::ui::Color::clearColor());
    label->setTextColor(weeapp::ui::Color::whiteColor());
    label->setTextAlignment(weeapp::ui::TextAlignmentCenter);
    label->setFont(weeapp::ui::Font::fontWithNameSize("Helvetica", 12.0f));
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(9.0f);
    label->setShadowColor(weeapp::ui::Color::darkTextColor());
    label->setShadowOffset({ 1.0f, 1.0f });
    label->setText(entry.formattedName());
    return label;
}

}

// Rounded photo buttons in one row a page, each with the full name under it and, with
// "showLabels", a badge naming the number's label across the foot of the photo.
void KavrinController::buildStandardTiles()
{
    const StandardGeometry& geometry = contactsPerPage == 5 ? kFivePerPage : kFourPerPage;
    const auto side = static_cast<float>(geometry.side);
    const std::size_t count = weeapp::sys::count(rawElementsArray);
    for (std::size_t index = 0; index < count; ++index) {
        const auto i = static_cast<std::int32_t>(index);
        const std::int32_t page = contactsPerPage > 0 ? i / contactsPerPage : 0;
        // In 64 bits, so that a list too long for 32-bit positions cannot overflow.
        const std::int64_t x = std::int64_t { geometry.margin } + std::int64_t { geometry.step } * i + std::int64_t { geometry.margin } * page;
        const FavoriteEntry entry { weeapp::sys::objectAtIndex(rawElementsArray, index) };

        auto button = weeapp::ui::Button::buttonWithType(0);
        button->setFrame({ static_cast<float>(x), static_cast<float>(distance), side, side });
        button->setTag(i);
        button->setImage(getImageFromDB(entry.recordId()), weeapp::ui::ControlStateNormal);
        button->addTarget(this, &KavrinController::doStart, weeapp::ui::ControlEventTouchUpInside);
        button->layer().cornerRadius = 5.0f;
        button->layer().masksToBounds = true;
        button->layer().borderWidth = 0.0f;
        scrollView->addSubview(button);

        std::shared_ptr<weeapp::ui::Label> badge;
        if (checkSetting("showLabels")) {
            badge = makeBadge(entry, geometry);
            button->addSubview(badge);
            labelsAreVisible = weeapp::sys::YES;
        } else {
            labelsAreVisible = weeapp::sys::NO;
        }

        auto nameLabel = makeNameLabel(entry, static_cast<float>(x), static_cast<float>(distance + geometry.side), side);
        scrollView->addSubview(nameLabel);

        // The photo and the name under it are one place to touch.
        const weeapp::ui::Rect area = button->frame();
        std::string spoken = nameLabel->text();
        std::vector<weeapp::ui::View*> silentParts { nameLabel.get() };
        if (badge) {
            if (!badge->text().empty())
                spoken += ", " + badge->text();
            silentParts.push_back(badge.get());
        }
        describeTile(*button, std::move(spoken), silentParts,
            weeapp::ui::Rect { area.x(), area.y(), area.width(), nameLabel->frame().maxY() - area.y() });
    }
}

}
