#include <weeapp/platform_state.h>

#include <weeapp/platform_objects.h>
#include <weeapp/sys/application.h>
#include <weeapp/sys/darwin_notify_center.h>
#include <weeapp/sys/notification_center.h>
#include <weeapp/sys/run_loop.h>
#include <weeapp/sys/user_defaults.h>
#include <weeapp/ui/animation_state.h>
#include <weeapp/ui/text_measurer.h>

#include <cassert>

namespace weeapp {

namespace {

PlatformState* g_current = nullptr;

std::mt19937 seededFromEntropy()
{
    std::random_device entropy;
    std::seed_seq seeds { entropy(), entropy(), entropy(), entropy() };
    return std::mt19937(seeds);
}

}

PlatformState::Objects::Objects()
    : random(seededFromEntropy())
    , animations(std::make_unique<ui::AnimationState>())
{
}

PlatformState::Objects::~Objects() = default;

PlatformState::PlatformState()
    : m_previous(g_current)
{
    g_current = this;
    m_runLoop.reset(new sys::RunLoop);
    m_application = std::make_unique<sys::Application>();
    m_userDefaults.reset(new sys::UserDefaults);
    m_notificationCenter = std::make_unique<sys::NotificationCenter>();
    m_darwinNotifyCenter.reset(new sys::DarwinNotifyCenter(*m_runLoop));
    m_objects = std::make_unique<Objects>();
}

PlatformState::~PlatformState()
{
    assert(g_current == this && "platform states end in the reverse order of their making");
    // While it ends the state stays current, so that what its tasks, handlers and animations
    // hold may still withdraw from it as they go; the tasks go first, as they may hold anything.
    m_runLoop->removeAllTasks();
    m_objects.reset();
    m_darwinNotifyCenter.reset();
    m_notificationCenter.reset();
    m_userDefaults.reset();
    m_application.reset();
    m_runLoop->removeAllTasks();
    m_runLoop.reset();
    g_current = m_previous;
}

bool PlatformState::exists()
{
    return g_current != nullptr;
}

PlatformState& PlatformState::current()
{
    assert(g_current && "the platform is used before a PlatformState is made");
    return *g_current;
}

}
