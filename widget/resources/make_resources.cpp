// Draws the bundle's resources and writes its Info.plist:
//   kavrin-make-resources BUNDLE_DIR VERSION
// WeeAppBackground.png is drawn to be stretched with 5-point caps on every side: the rounded
// border lies entirely inside the caps and the middle is one flat tone, so it stretches cleanly.
// cImageCom.png is the photo shown for a contact without a thumbnail.

#include "error_reporter.h"
#include <weeapp/c_handles.h>
#include <weeapp/ui/drawing/cairo_paths.h>

#include <cairo.h>
#include <plist/plist.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <numbers>
#include <string>

namespace {

constexpr kavrin::support::ErrorReporter kErrors { "kavrin-make-resources" };

constexpr double kPi = std::numbers::pi;

using weeapp::ui::roundedRectangle;

bool writeSurface(const weeapp::CairoSurface& surface, const std::string& path)
{
    cairo_surface_flush(surface.get());
    bool written = cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
    if (!written)
        kErrors.report(std::cerr, "cannot write " + path);
    return written;
}

// 16 by 16 pixels: a dark, slightly translucent panel with a 4-pixel rounded corner, a light
// hairline around it and a darker hairline inside, all within 5 pixels of the edge.
bool drawBackground(const std::string& path)
{
    constexpr int kSide = 16;
    const weeapp::CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSide, kSide));
    const weeapp::CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();

    roundedRectangle(cr, 0.5, 0.5, kSide - 1, kSide - 1, 4);
    cairo_set_source_rgba(cr, 0.07, 0.08, 0.09, 0.72);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    roundedRectangle(cr, 1.5, 1.5, kSide - 3, kSide - 3, 3);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_stroke(cr);

    return writeSurface(surface, path);
}

// 64 by 64 pixels: a head-and-shoulders silhouette on a soft grey gradient.
bool drawPlaceholderPhoto(const std::string& path)
{
    constexpr int kSide = 64;
    const weeapp::CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSide, kSide));
    const weeapp::CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();

    {
        const weeapp::CairoPattern ground(cairo_pattern_create_linear(0, 0, 0, kSide));
        cairo_pattern_add_color_stop_rgb(ground.get(), 0, 0.80, 0.81, 0.83);
        cairo_pattern_add_color_stop_rgb(ground.get(), 1, 0.62, 0.63, 0.66);
        cairo_set_source(cr, ground.get());
        cairo_paint(cr);
    }

    cairo_set_source_rgb(cr, 0.96, 0.96, 0.97);
    cairo_arc(cr, kSide / 2.0, 25, 12, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, kSide / 2.0, kSide + 6);
    cairo_scale(cr, 26, 24);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_fill(cr);

    return writeSurface(surface, path);
}

bool writeInfoPlist(const std::string& path, const std::string& version)
{
    const weeapp::PlistNode root(plist_new_dict());
    auto setText = [&](const char* key, const std::string& value) { plist_dict_set_item(root.get(), key, plist_new_string(value.c_str())); };
    setText("CFBundleDevelopmentRegion", "English");
    setText("CFBundleDisplayName", "Kavrin");
    setText("CFBundleExecutable", "Kavrin");
    setText("CFBundleIdentifier", "de.quillfen.kavrin");
    setText("CFBundleInfoDictionaryVersion", "6.0");
    setText("CFBundleName", "Kavrin");
    setText("CFBundlePackageType", "BNDL");
    setText("CFBundleShortVersionString", version);
    setText("CFBundleVersion", version);

    weeapp::CMemory<char> xml;
    uint32_t length = 0;
    plist_to_xml(root.get(), xml.out(), &length);
    if (!xml)
        return false;
    weeapp::StdioFile file(std::fopen(path.c_str(), "wb"));
    bool written = file && std::fwrite(xml.get(), 1, length, file.get()) == length;
    if (file)
        written = file.close() == 0 && written;
    if (!written)
        kErrors.report(std::cerr, "cannot write " + path);
    return written;
}

}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: kavrin-make-resources BUNDLE_DIR VERSION\n");
        return 2;
    }
    std::string bundle = argv[1];
    bool done = drawBackground(bundle + "/WeeAppBackground.png");
    done = drawPlaceholderPhoto(bundle + "/cImageCom.png") && done;
    done = writeInfoPlist(bundle + "/Info.plist", argv[2]) && done;
    return done ? 0 : 1;
}
