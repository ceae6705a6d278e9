#include "weeapp/testing_reset.h"

#include "sys/darwin_notify_center.h"
#include "sys/notification_center.h"
#include "sys/run_loop.h"
#include "ui/animation.h"

namespace weeapp {

void resetForTests()
{
    sys::RunLoop::main().removeAllTasks();
    ui::Animations::reset();
    sys::NotificationCenter::defaultCenter().removeAllObservers();
    sys::DarwinNotifyCenter::shared().reset();
}

}
