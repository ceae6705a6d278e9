#include "ui/page_control.h"

#include <algorithm>

namespace ui {

std::shared_ptr<PageControl> PageControl::create(Rect frame)
{
    return make<PageControl>(frame);
}

void PageControl::setNumberOfPages(int pages)
{
    m_numberOfPages = std::max(pages, 0);
    setCurrentPage(m_currentPage);
}

void PageControl::setCurrentPage(int page)
{
    m_currentPage = std::clamp(page, 0, std::max(m_numberOfPages - 1, 0));
}

}
