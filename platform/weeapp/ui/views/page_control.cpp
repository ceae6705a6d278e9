#include <weeapp/ui/views/page_control.h>

#include <algorithm>
#include <string>

namespace weeapp::ui {

std::shared_ptr<PageControl> PageControl::create(Rect frame)
{
    return make<PageControl>(frame);
}

void PageControl::setNumberOfPages(int pages)
{
    m_numberOfPages = std::max(pages, 0);
    setCurrentPage(m_currentPage);
}

std::optional<std::string> PageControl::defaultAccessibilityValue() const
{
    if (m_numberOfPages == 0)
        return std::nullopt;
    return "page " + std::to_string(m_currentPage + 1) + " of " + std::to_string(m_numberOfPages);
}

void PageControl::setCurrentPage(int page)
{
    m_currentPage = std::clamp(page, 0, std::max(m_numberOfPages - 1, 0));
}

}
