#include <weeapp/sys/application.h>

namespace sys {

Application& Application::sharedApplication()
{
    static Application application;
    return application;
}

bool Application::openURL(const URLPtr& url)
{
    if (!url || !m_openURLHandler)
        return false;
    return m_openURLHandler(*url);
}

}
