#include "modes/gallery_comparison.h"

#include "base/host_errors.h"
#include "image_encoding.h"
#include "modes/gallery_index.h"
#include "modes/gallery_session.h"
#include "phone_writer.h"
#include "pictures/contact_sheet.h"
#include "pictures/picture_diff.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <set>
#include <string>

namespace kavrin::host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDiffFolder = "diff";
constexpr const char* kDiffPage = "diff.html";
constexpr const char* kDiffSheet = "diff.png";
constexpr const char* kSheetFile = "gallery.png";

// The picture in the file, or null when it is missing or no PNG.
weeapp::CairoSurface readPicture(const fs::path& file)
{
    std::error_code ignored;
    if (!fs::is_regular_file(file, ignored))
        return nullptr;
    weeapp::CairoSurface picture(cairo_image_surface_create_from_png(file.c_str()));
    if (cairo_surface_status(picture.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    if (cairo_image_surface_get_format(picture.get()) == CAIRO_FORMAT_ARGB32)
        return picture;
    // An opaque PNG reads as RGB24; its pixels are compared as the opaque ARGB32 they stand for.
    const int width = cairo_image_surface_get_width(picture.get()), height = cairo_image_surface_get_height(picture.get());
    weeapp::CairoSurface argb(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const weeapp::CairoContext cr(cairo_create(argb.get()));
    cairo_set_source_surface(cr.get(), picture.get(), 0, 0);
    cairo_paint(cr.get());
    return argb;
}

// The state pictures of an earlier gallery: its PNG files but the contact sheet.
std::set<std::string> picturesIn(const fs::path& folder)
{
    std::set<std::string> pictures;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && entry.path().extension() == ".png" && name != kSheetFile && name != kDiffSheet)
            pictures.insert(name);
    }
    return pictures;
}

std::string shareText(double share)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", share);
    return text;
}

struct Row {
    std::string file;
    std::string caption;
    std::string verdict; // "changed", "same", "only-new", "only-old"
    double share { 0 };
    bool hasDiff { false };
};

std::string pageOf(const std::vector<Row>& rows, const fs::path& newFolder, const fs::path& oldFolder, double tolerance)
{
    // The old pictures by a path relative to the page, so that the two galleries can move together;
    // by their absolute path when there is none (relative answers an empty path when it fails).
    std::error_code error;
    const fs::path relative = fs::relative(fs::absolute(oldFolder), fs::absolute(newFolder), error);
    const std::string old = (relative.empty() ? fs::absolute(oldFolder).lexically_normal() : relative).string() + "/";
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Gallery changes</title>\n"
        "<style>body{font-family:sans-serif;background:#222;color:#eee}td{vertical-align:top;padding:4px}"
        "img{max-width:320px}.changed{color:#f6f}.only{color:#fc6}</style></head><body>\n"
        "<h1>Gallery changes</h1>\n<p>Compared with "
        + escapedHtml(fs::absolute(oldFolder).lexically_normal().string()) + "; tolerance " + shareText(tolerance)
        +
        " of a picture's pixels. Changed pixels are magenta over the new picture, faded.</p>\n<table>\n"
        "<tr><th>state</th><th>old</th><th>new</th><th>diff</th></tr>\n";
    for (const Row& row : rows) {
        if (row.verdict == "same")
            continue;
        const std::string file = escapedHtml(row.file);
        html += "<tr><td class=\"" + std::string(row.verdict == "changed" ? "changed" : "only") + "\">" + escapedHtml(row.caption.empty() ? row.file : row.caption)
            + "<br>" + row.verdict + (row.verdict == "changed" ? " " + shareText(row.share) : "") + "</td>";
        html += "<td>" + (row.verdict == "only-new" ? std::string() : "<img src=\"" + escapedHtml(old) + file + "\" alt=\"old\">") + "</td>";
        html += "<td>" + (row.verdict == "only-old" ? std::string() : "<img src=\"" + file + "\" alt=\"new\">") + "</td>";
        html += "<td>" + (row.hasDiff ? "<img src=\"" + std::string(kDiffFolder) + "/" + file + "\" alt=\"diff\">" : std::string()) + "</td></tr>\n";
    }
    html += "</table></body></html>\n";
    return html;
}

bool writeText(const fs::path& file, const std::string& text)
{
    return phone_files::writeBytes(file.string(), phone_files::Bytes(text.begin(), text.end()));
}

}

GalleryComparison::GalleryComparison(
    fs::path newFolder, fs::path oldFolder, double tolerance, int scale, TextLayouts& layouts, std::ostream& out, std::ostream& errors)
    : m_new(std::move(newFolder))
    , m_old(std::move(oldFolder))
    , m_tolerance(tolerance)
    , m_scale(scale)
    , m_layouts(layouts)
    , m_out(out)
    , m_errors(errors)
{
}

std::optional<std::string> GalleryComparison::refusal(const fs::path& newFolder, const fs::path& oldFolder)
{
    // The same folder by any spelling or link. The earlier one exists (the option checks), so a
    // new folder not made yet cannot be it.
    std::error_code error;
    if (fs::equivalent(newFolder, oldFolder, error))
        return "--against " + oldFolder.string() + " is the gallery's own folder: its pictures would be replaced by the ones compared with them; give the earlier gallery's folder";
    if (!GallerySession::isGallery(oldFolder))
        return "--against " + oldFolder.string() + " is no gallery (it has no index.html that --gallery wrote); give the folder of an earlier gallery";
    return std::nullopt;
}

ExitStatus GalleryComparison::run(const std::vector<GalleryState>& states)
{
    std::error_code error;
    const fs::path diffFolder = m_new / kDiffFolder;
    // Diff pictures of an earlier comparison would stand for changes that may be gone.
    fs::remove_all(diffFolder, error);
    fs::create_directories(diffFolder, error);
    std::set<std::string> oldPictures = picturesIn(m_old);
    std::vector<Row> rows;
    ContactSheet sheet(3);
    bool changed = false, failed = false;
    for (const GalleryState& state : states) {
        Row row { state.file, state.caption, "same" };
        weeapp::CairoSurface now = readPicture(m_new / state.file);
        if (!oldPictures.erase(state.file)) {
            row.verdict = "only-new";
        } else if (weeapp::CairoSurface before = readPicture(m_old / state.file); !before || !now) {
            row.verdict = "changed";
            row.share = 1;
        } else {
            PictureDifference difference = comparePictures(before.get(), now.get());
            row.share = difference.changedShare;
            if (difference.picture && difference.changedShare > m_tolerance) {
                row.verdict = "changed";
                sheet.add(before.get(), m_scale, "old: " + state.caption);
                sheet.add(now.get(), m_scale, "new");
                sheet.add(difference.picture.get(), m_scale, "changed: " + shareText(difference.changedShare));
                std::optional<phone_files::Bytes> png = phone_files::encodePng(difference.picture.get());
                row.hasDiff = png && phone_files::writeBytes((diffFolder / state.file).string(), *png);
                failed = failed || !row.hasDiff;
            }
        }
        if (row.verdict == "changed") {
            m_out << "changed " << row.file << ' ' << shareText(row.share) << '\n';
            changed = true;
        } else if (row.verdict == "only-new") {
            m_out << "only-new " << row.file << '\n';
            changed = true;
        }
        rows.push_back(std::move(row));
    }
    for (const std::string& file : oldPictures) {
        m_out << "only-old " << file << '\n';
        rows.push_back({ file, {}, "only-old" });
        changed = true;
    }
    if (fs::is_empty(diffFolder, error))
        fs::remove(diffFolder, error);
    const fs::path sheetFile = m_new / kDiffSheet;
    fs::remove(sheetFile, error);
    if (sheet.size() > 0) {
        std::optional<phone_files::Bytes> png = phone_files::encodePng(sheet.draw(m_layouts).get());
        if (png && phone_files::writeBytes(sheetFile.string(), *png)) {
            m_out << "diff sheet " << sheetFile.string() << '\n';
        } else {
            kHostErrors.report(m_errors, "cannot write " + sheetFile.string());
            failed = true;
        }
    }
    const fs::path page = m_new / kDiffPage;
    if (writeText(page, pageOf(rows, m_new, m_old, m_tolerance))) {
        m_out << "diff " << page.string() << '\n';
    } else {
        kHostErrors.report(m_errors, "cannot write " + page.string());
        failed = true;
    }
    return changed || failed ? ExitStatus::Failure : ExitStatus::Success;
}

}
