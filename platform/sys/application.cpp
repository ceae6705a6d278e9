#include <weeapp/sys/application.h>

#include <weeapp/platform_state.h>

namespace sys {

Application& Application::sharedApplication()
{
    return weeapp::PlatformState::current().application();
}

bool Application::openURL(const URLPtr& url)
{
    if (!url || !m_openURLHandler)
        return false;
    return m_openURLHandler(*url);
}

}
