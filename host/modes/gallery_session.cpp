#include "modes/gallery_session.h"
#include "base/host_errors.h"

#include "base/interruption.h"
#include "demo_contacts.h"
#include "demo_phone.h"
#include "image_encoding.h"
#include "modes/flip_search.h"
#include "modes/gallery_index.h"
#include "phone_writer.h"
#include "pictures/contact_sheet.h"
#include "reader/accessibility_audit.h"
#include <weeapp/sys/files/file_reading.h>
#include <weeapp/sys/files/phone_paths.h>
#include <weeapp/sys/files/phone_root.h>
#include <weeapp/sys/user_defaults.h>

#include <ostream>

namespace kavrin::host {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSheetFile = "gallery.png";
constexpr const char* kIndexFile = "index.html";
constexpr int kSheetColumns = 4;
// The centre of the first standard tile, in the widget's coordinates.
constexpr weeapp::ui::Point kFirstStandardTile { 44, 44 };
// 0.15 s into a flip of 1 s, which eases out, the tile stands at an angle, neither face-on nor
// edge-on.
constexpr double kIntoFlip = 0.15;

bool writeText(const fs::path& file, const std::string& text)
{
    return phone_files::writeBytes(file.string(), phone_files::Bytes(text.begin(), text.end()));
}

}

GallerySession::GallerySession(HostSession& session, fs::path folder, std::ostream& out, std::ostream& errors)
    : m_session(session)
    , m_folder(std::move(folder))
    , m_out(out)
    , m_errors(errors)
{
}

bool GallerySession::mayWriteInto(const fs::path& folder)
{
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder, error)))
        return true;
    if (!fs::is_directory(folder, error))
        return false;
    if (fs::directory_iterator(folder, error) == fs::directory_iterator())
        return !error;
    return isGallery(folder);
}

bool GallerySession::isGallery(const fs::path& folder)
{
    std::error_code error;
    fs::path indexFile = folder / kIndexFile;
    if (!fs::is_regular_file(fs::symlink_status(indexFile, error)))
        return false;
    std::optional<std::string> index = weeapp::sys::readWholeFile(indexFile.string(), 1u << 20);
    return index && index->find(kGalleryMarker) != std::string::npos;
}

// Makes the state's moment on the phone: its favorites, its look, its page, its language.
bool GallerySession::prepare(const GalleryState& state)
{
    const fs::path& root = weeapp::sys::phoneRoot();
    Result<void> prepared;
    switch (state.scene) {
    case GalleryScene::MissingPhotos: {
        std::error_code ignored;
        fs::remove(phone_files::PhoneWriter(root).realPath(weeapp::sys::kAddressBookImagesPath), ignored);
        break;
    }
    case GalleryScene::NoFavorites:
        prepared = phone_files::writeContacts(root, {});
        break;
    case GalleryScene::ScriptNames:
        prepared = phone_files::writeContacts(root, phone_files::scriptSampleContacts());
        break;
    case GalleryScene::Plain:
    case GalleryScene::MidFlip:
    case GalleryScene::Chooser:
        break;
    }
    if (!prepared) {
        kHostErrors.begin(m_errors) << prepared.error() << '\n';
        return false;
    }
    if (!applyLook(m_session, state.look, m_errors))
        return false;
    // Every state on a fresh controller made with the state's own settings, as on the phone when
    // the centre opens: a controller that lived through other settings keeps some of what they
    // did (the metro look's colour stays on the container after a switch to the standard look),
    // and a gallery is a baseline that must not depend on what the phone held before. The widget
    // reads the favorites when it is made, too.
    if (auto reloaded = m_session.reload(); !reloaded) {
        kHostErrors.begin(m_errors) << reloaded.error() << '\n';
        return false;
    }
    m_session.idle();
    if (state.page > 0)
        m_session.scrollToPage(state.page);
    return true;
}

bool GallerySession::writeIndex(const std::vector<GalleryState>& states)
{
    return writeText(m_folder / kIndexFile, galleryIndex(states, m_sizes, kSheetFile, m_session.scale()));
}

Result<ExitStatus> GallerySession::run()
{
    if (!mayWriteInto(m_folder)) {
        std::error_code ignored;
        if (fs::is_directory(m_folder, ignored))
            return Error { m_folder.string() + " holds files that are not a gallery's; give a new or empty folder" };
        return Error { m_folder.string() + " is not a folder" };
    }
    std::error_code error;
    fs::create_directories(m_folder, error);
    const std::vector<GalleryState> states = galleryStates();
    if (error || !writeIndex(states)) {
        kHostErrors.begin(m_errors) << "cannot write " << (m_folder / kIndexFile).string() << '\n';
        return ExitStatus::Failure;
    }

    weeapp::sys::UserDefaults& defaults = weeapp::sys::UserDefaults::standardUserDefaults();
    weeapp::sys::ValuePtr languages = defaults.objectForKey(weeapp::sys::kAppleLanguagesKey);
    ContactSheet sheet(kSheetColumns);
    bool failed = false;
    m_session.showView();
    m_session.viewDidAppear();
    for (const GalleryState& state : states) {
        if (interrupted())
            return interruptedStatus();
        if (!prepare(state)) {
            failed = true;
            m_sizes.push_back({});
            continue;
        }
        // The fresh controller has just appeared, which starts its flips.
        if (state.scene == GalleryScene::MidFlip)
            advanceToVisibleFlip(m_session, kIntoFlip);
        if (state.scene == GalleryScene::Chooser) {
            defaults.setObjectForKey(weeapp::sys::Value::array({ weeapp::sys::Value::string(state.language) }), weeapp::sys::kAppleLanguagesKey);
            m_session.tap(kFirstStandardTile);
        }
        weeapp::CairoSurface rendered = m_session.render();
        cairo_surface_t* picture = rendered.get();
        fs::path file = m_folder / state.file;
        std::optional<phone_files::Bytes> png = phone_files::encodePng(picture);
        if (png && phone_files::writeBytes(file.string(), *png)) {
            m_out << "picture " << file.string() << '\n';
            sheet.add(picture, m_session.scale(), state.caption);
            m_sizes.push_back({ cairo_image_surface_get_width(picture) / m_session.scale(), cairo_image_surface_get_height(picture) / m_session.scale() });
        } else {
            kHostErrors.begin(m_errors) << "cannot write " << file.string() << '\n';
            m_sizes.push_back({});
            failed = true;
        }
        if (m_audits) {
            const std::vector<AuditFinding> findings = auditScreen(m_session);
            for (const AuditFinding& finding : findings)
                m_out << "audit " << state.file << ' ' << auditFindingText(finding) << '\n';
            m_found = m_found || !findings.empty();
        }
        if (state.scene == GalleryScene::Chooser) {
            if (m_session.visibleAlert())
                (void)m_session.press(0);
            defaults.setObjectForKey(languages, weeapp::sys::kAppleLanguagesKey);
        }
        m_out.flush();
    }
    if (interrupted())
        return interruptedStatus();

    std::optional<phone_files::Bytes> png = phone_files::encodePng(sheet.draw(m_session.renderCache().textLayouts()).get());
    fs::path sheetFile = m_folder / kSheetFile;
    if (png && phone_files::writeBytes(sheetFile.string(), *png)) {
        m_out << "contact sheet " << sheetFile.string() << '\n';
    } else {
        kHostErrors.begin(m_errors) << "cannot write " << sheetFile.string() << '\n';
        failed = true;
    }
    if (writeIndex(states)) {
        m_out << "index " << (m_folder / kIndexFile).string() << '\n';
    } else {
        kHostErrors.begin(m_errors) << "cannot write " << (m_folder / kIndexFile).string() << '\n';
        failed = true;
    }
    return failed ? ExitStatus::Failure : ExitStatus::Success;
}

}
