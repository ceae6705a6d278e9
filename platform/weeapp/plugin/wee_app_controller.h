#pragma once

#include <weeapp/sys/object.h>
#include <weeapp/sys/url.h>
#include <weeapp/ui/geometry.h>
#include <weeapp/ui/views/view.h>

#include <string_view>

namespace weeapp {

// The notification-centre host's widget protocol. `view` is required. Every other operation is
// optional: a controller overrides those it implements and names them in respondsToSelector,
// and a host calls only those that it answers for. The defaults stand for an absent operation.
class BBWeeAppController : public virtual sys::Object {
public:
    ~BBWeeAppController() override;

    virtual ui::ViewPtr view() = 0;

    virtual float viewHeight() { return 0; }
    virtual void viewWillAppear() { }
    virtual void viewDidAppear() { }
    virtual void viewWillDisappear() { }
    virtual void viewDidDisappear() { }
    virtual void willRotateToInterfaceOrientation(int) { }
    virtual void willAnimateRotationToInterfaceOrientation(int) { }
    virtual void didRotateFromInterfaceOrientation(int) { }
    virtual void loadPlaceholderView() { }
    virtual void loadFullView() { }
    virtual void unloadView() { }
    virtual void clearShapshotImage() { }
    virtual void loadView() { }
    virtual sys::URLPtr launchURL() { return nullptr; }
    virtual sys::URLPtr launchURLForTapLocation(ui::Point) { return nullptr; }
};

// The selectors of the protocol's optional operations, as respondsToSelector takes them.
inline constexpr std::string_view kOptionalSelectors[] = {
    "viewHeight",
    "viewWillAppear",
    "viewDidAppear",
    "viewWillDisappear",
    "viewDidDisappear",
    "willRotateToInterfaceOrientation",
    "willAnimateRotationToInterfaceOrientation",
    "didRotateFromInterfaceOrientation",
    "loadPlaceholderView",
    "loadFullView",
    "unloadView",
    "clearShapshotImage",
    "loadView",
    "launchURL",
    "launchURLForTapLocation",
};

}
