#pragma once

#include <weeapp/sys/url.h>

#include <functional>

namespace weeapp::sys {

// The application object. The host installs the handler that stands for the system's URL
// handling (calls, messages, e-mail).
class Application {
public:
    static Application& sharedApplication();

    // Hands the URL to the system; false for nil, when no handler is installed, or when the
    // handler declines it.
    bool openURL(const URLPtr&);

    using OpenURLHandler = std::function<bool(const URL&)>;
    void setOpenURLHandler(OpenURLHandler handler) { m_openURLHandler = std::move(handler); }

private:
    OpenURLHandler m_openURLHandler;
};

}
