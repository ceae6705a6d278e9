#include "contact_photo.h"
#include "decoded_image.h"

#include <gtest/gtest.h>

#include <array>

namespace kavrin::phone_files {
namespace {

// The first letter of each of the first two words, upper case by Unicode's rules in any script;
// runs of spaces are no words, and a third word adds nothing.
TEST(ContactPhoto, InitialsOfTheFirstTwoWords)
{
    const std::pair<std::string, std::string> cases[] = {
        { "Anna Lindqvist", "AL" },
        { "anna", "A" },
        { "  lena   maria berg ", "LM" },
        { "Jean-Luc Picard", "JP" },
        { "élodie durand", "ÉD" },
        { "ωmega ψ", "ΩΨ" },
        { "李 小龍", "李小" },
        { "", "" },
        { "   ", "" },
    };
    for (const auto& [name, initials] : cases)
        EXPECT_EQ(initialsOf(name), initials) << name;
}

class Pixels {
public:
    explicit Pixels(weeapp::CairoSurface surface)
        : m_surface(std::move(surface))
        , m_rgba(straightRgba(m_surface.get()))
        , m_side(cairo_image_surface_get_width(m_surface.get())) { }

    std::array<int, 3> at(double x, double y) const
    {
        const auto index = (static_cast<std::size_t>(y * m_side) * static_cast<std::size_t>(m_side) + static_cast<std::size_t>(x * m_side)) * 4;
        return { m_rgba[index], m_rgba[index + 1], m_rgba[index + 2] };
    }
    int brightness(double x, double y) const
    {
        const std::array<int, 3> rgb = at(x, y);
        return rgb[0] + rgb[1] + rgb[2];
    }
    bool hasNearWhite() const
    {
        for (std::size_t i = 0; i < m_rgba.size(); i += 4) {
            if (m_rgba[i] > 225 && m_rgba[i + 1] > 225 && m_rgba[i + 2] > 225)
                return true;
        }
        return false;
    }
    const Bytes& rgba() const { return m_rgba; }
    cairo_surface_t* surface() const { return m_surface.get(); }

private:
    weeapp::CairoSurface m_surface;
    Bytes m_rgba;
    int m_side;
};

// A square portrait of the size asked, lighter at the top left than at the bottom right, in the
// hue asked (red at 0, green at a third, blue at two thirds, the hue turning round at 1); white
// initials, or without any a dark figure where the head goes.
TEST(ContactPhoto, PortraitsFollowHueAndInitials)
{
    const Pixels red(drawContactPhoto(60, 0.0, ""));
    ASSERT_EQ(cairo_image_surface_get_width(red.surface()), 60);
    ASSERT_EQ(cairo_image_surface_get_height(red.surface()), 60);
    EXPECT_GT(red.brightness(0.02, 0.02), red.brightness(0.97, 0.97));
    EXPECT_LT(red.brightness(0.5, 0.4) * 2, red.brightness(0.02, 0.02));
    EXPECT_FALSE(red.hasNearWhite());

    for (const auto& [hue, channel] : { std::pair { 0.0, 0 }, { 1.0 / 3, 1 }, { 2.0 / 3, 2 } }) {
        const Pixels photo(drawContactPhoto(60, hue, ""));
        const std::array<int, 3> corner = photo.at(0.02, 0.02);
        for (std::size_t other = 0; other < 3; ++other) {
            if (static_cast<int>(other) != channel) {
                EXPECT_GT(corner[static_cast<std::size_t>(channel)], corner[other] + 60) << hue;
            }
        }
    }
    EXPECT_EQ(Pixels(drawContactPhoto(40, 1.25, "")).rgba(), Pixels(drawContactPhoto(40, 0.25, "")).rgba());
    EXPECT_NE(Pixels(drawContactPhoto(40, 0.25, "")).rgba(), Pixels(drawContactPhoto(40, 0.3, "")).rgba());

    const Pixels initials(drawContactPhoto(60, 0.0, "W"));
    EXPECT_TRUE(initials.hasNearWhite());
    EXPECT_NE(initials.rgba(), red.rgba());
}

// The encoded portraits read back with libpng and libjpeg at their size, the PNG to the pixel of
// the drawing; a portrait of no size encodes to nothing.
TEST(ContactPhoto, EncodedPortraitsReadBack)
{
    const auto sideOf = [](const std::optional<Decoded>& decoded) { return decoded && decoded->width == decoded->height ? decoded->width : -1; };
    const std::optional<Bytes> png = contactPhotoPng(48, 0.6, "AL");
    ASSERT_TRUE(png);
    const std::optional<Decoded> fromPng = decodePng(*png);
    ASSERT_EQ(sideOf(fromPng), 48);
    EXPECT_EQ(fromPng->rgba, Pixels(drawContactPhoto(48, 0.6, "AL")).rgba());
    const std::optional<Bytes> jpeg = contactPhotoJpeg(40, 0.6, "");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(sideOf(decodeJpeg(*jpeg)), 40);

    EXPECT_FALSE(contactPhotoPng(0, 0.5, "A"));
    EXPECT_FALSE(contactPhotoJpeg(0, 0.5, "A"));
}

}
}
