#include "reader/window_reader.h"
#include "base/host_errors.h"

#include "reader/spoken_text.h"
#include "render/caption_drawing.h"
#include <weeapp/ui/view_dump.h>

#include <ostream>

namespace kavrin::host {

WindowReader::WindowReader(HostSession& session, std::ostream& out, std::ostream& err, SpeechRecorder* speaker, std::unique_ptr<SpeechPlayer> player,
    std::string language)
    : m_session(session)
    , m_out(out)
    , m_speaker(speaker)
    , m_player(std::move(player))
    , m_language(std::move(language))
    , m_on(speaker != nullptr)
{
    if (m_speaker && !m_player)
        kHostErrors.begin(err) << "no sound device; the speech goes into the file only\n";
}

void WindowReader::toggle()
{
    m_on = !m_on;
    m_hovered.reset();
    m_caption.clear();
    m_out << (m_on ? "reader on" : "reader off") << '\n';
}

void WindowReader::pointerAt(ui::Point point, double pictureWidth, double pictureHeight)
{
    if (!m_on)
        return;
    std::optional<ScreenReader::Hovered> hovered;
    if (point.x >= 0 && point.y >= 0 && point.x < pictureWidth && point.y < pictureHeight)
        hovered = m_reader.hoveredAt(point, pictureWidth, pictureHeight);
    if (!hovered) {
        pointerLeft();
        return;
    }
    if (m_hovered && m_hovered->isSame(*hovered))
        return;
    m_hovered = std::move(hovered);
    announce(*m_hovered);
}

void WindowReader::pointerLeft()
{
    m_hovered.reset();
    m_caption.clear();
}

void WindowReader::announce(const ScreenReader::Hovered& hovered)
{
    m_caption = captionText(hovered.description);
    m_out << "describe " << ui::dumpAccessibilityDescription(hovered.description) << '\n';
    m_out.flush();
    if (!m_speaker)
        return;
    std::vector<std::int16_t> speech = m_speaker->speak(spokenText(hovered.description, m_language));
    if (m_player)
        m_player->play(speech);
}

weeapp::CairoSurface WindowReader::captioned(cairo_surface_t* frame) const
{
    if (!m_on)
        return nullptr;
    return withCaption(frame, m_caption, m_session.scale(), m_session.renderCache().textLayouts());
}

std::string captionText(const ui::AccessibilityDescription& description)
{
    std::string text;
    for (const std::optional<std::string>& part : { description.label, description.value, description.hint }) {
        if (!part || part->empty())
            continue;
        if (!text.empty())
            text += " \u2014 ";
        text += *part;
    }
    return text;
}

}
