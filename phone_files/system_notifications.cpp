#include "system_notifications.h"

#include <weeapp/sys/events/darwin_notify_center.h>
#include <weeapp/sys/files/phone_root.h>

namespace kavrin::phone_files {

bool startSystemNotifications()
{
    return weeapp::sys::DarwinNotifyCenter::shared().setTransportDirectory(weeapp::sys::resolvePhonePath(kSystemNotificationFolder));
}

}
