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
    sys::Application::sharedApplication().openURL(sys::URL::URLWithString(text));
}

// Only the space U+0020 goes; every other character, other white space included, stays.
std::string withoutSpaces(const std::string& number)
{
    return sys::stringByReplacingOccurrencesOfString(number, " ", "");
}

}

// A favorite without a number has nothing to call or text, so nothing opens.
void KavrinController::doCall(const std::string* number)
{
    if (!number)
        return;
    openURLText(sys::stringWithFormat("tel:%@", std::string_view(withoutSpaces(*number))));
}

void KavrinController::doMessage(const std::string* number)
{
    if (!number)
        return;
    openURLText(sys::stringWithFormat("sms:%@", std::string_view(withoutSpaces(*number))));
}

void KavrinController::doMail(const std::string* address)
{
    if (!address || address->empty())
        return;
    openURLText(sys::stringWithFormat("mailto:%@", std::string_view(*address)));
}

void KavrinController::visitWebSite(sys::Object*)
{
    openURLText(kWebSiteAddress);
}

void KavrinController::visitFB(sys::Object*)
{
    openURLText(kSocialPageAddress);
}

}
