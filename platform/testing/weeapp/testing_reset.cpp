#include <weeapp/testing_reset.h>

#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/notification_center.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/ui/animation.h>

namespace weeapp {

void resetForTests()
{
    sys::RunLoop::main().removeAllTasks();
    ui::Animations::reset();
    sys::NotificationCenter::defaultCenter().removeAllObservers();
    sys::DarwinNotifyCenter::shared().reset();
}

}
