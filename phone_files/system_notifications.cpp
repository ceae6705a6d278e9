#include "system_notifications.h"

#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/phone_root.h>

namespace kavrin::phone_files {

bool startSystemNotifications()
{
    return sys::DarwinNotifyCenter::shared().setTransportDirectory(sys::resolvePhonePath(kSystemNotificationFolder));
}

}
