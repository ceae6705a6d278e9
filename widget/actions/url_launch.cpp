#include "controller/kavrin_controller.h"

#include <weeapp/sys/application.h>
#include <weeapp/sys/format.h>
#include <weeapp/sys/url.h>

namespace kavrin {

namespace {

constexpr const char* kWebSiteAddress = "https://www.quillfen.de/kavrin/";
constexpr const char* kSocialPageAddress = "https://www.quillfen.de/social/";

// Text that is not legal URL syntax makes no URL, and openURL then opens nothing.
void openURLText(const std::string& text)
{
    weeapp::sys::Application::sharedApplication().openURL(weeapp::sys::URL::URLWithString(text));
}

// Only the space U+0020 goes; every other character, other white space included, stays.
std::string withoutSpaces(const std::string& number)
{
    return weeapp::sys::stringByReplacingOccurrencesOfString(number, " ", "");
}

}

// A favorite without a number has nothing to call or text, so nothing opens.
void KavrinController::doCall(const std::string* number)
{
    if (!number)
        return;
    openURLText(weeapp::sys::stringWithFormat("tel:%@", std::string_view(withoutSpaces(*number))));
}

void KavrinController::doMessage(const std::string* number)
{
    if (!number)
        return;
    openURLText(weeapp::sys::stringWithFormat("sms:%@", std::string_view(withoutSpaces(*number))));
}

void KavrinController::doMail(const std::string* address)
{
    if (!address || address->empty())
        return;
    openURLText(weeapp::sys::stringWithFormat("mailto:%@", std::string_view(*address)));
}

void KavrinController::visitWebSite(weeapp::sys::Object*)
{
    openURLText(kWebSiteAddress);
}

void KavrinController::visitFB(weeapp::sys::Object*)
{
    openURLText(kSocialPageAddress);
}

}
