#include "sys/notification_center.h"

#include <gtest/gtest.h>

using namespace sys;

namespace {

struct Listener : Object {
    std::vector<std::string>* log = nullptr;
    std::string name;
    std::function<void()> also;
    void changed()
    {
        log->push_back(name);
        if (also)
            also();
    }
};

class NotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override { center().removeAllObservers(); }
    void TearDown() override { center().removeAllObservers(); }
    NotificationCenter& center() { return NotificationCenter::defaultCenter(); }
};

}

// A post runs every live observer of the name at once, in the order they registered.
TEST_F(NotificationCenterTest, DeliversSynchronouslyInOrder)
{
    std::vector<std::string> log;
    Listener first, second, other;
    first.log = second.log = other.log = &log;
    first.name = "first";
    second.name = "second";
    other.name = "other";
    center().addObserver(&second, &Listener::changed, "changed");
    center().addObserver(&first, &Listener::changed, "changed");
    center().addObserver(&other, &Listener::changed, "unrelated");

    center().postNotificationName("changed");
    EXPECT_EQ(log, (std::vector<std::string> { "second", "first" }));
    center().postNotificationName("nobody listens");
    EXPECT_EQ(log.size(), 2u);
}

// Destroyed observers are skipped, even when an earlier observer of the same post destroyed
// them; observers registered during a post wait for the next one.
TEST_F(NotificationCenterTest, DestroyedObserversAreDropped)
{
    std::vector<std::string> log;
    auto killer = std::make_unique<Listener>();
    auto victim = std::make_unique<Listener>();
    Listener latecomer;
    killer->log = victim->log = latecomer.log = &log;
    killer->name = "killer";
    victim->name = "victim";
    latecomer.name = "latecomer";
    killer->also = [&] {
        victim.reset();
        center().addObserver(&latecomer, &Listener::changed, "changed");
    };
    center().addObserver(killer.get(), &Listener::changed, "changed");
    center().addObserver(victim.get(), &Listener::changed, "changed");

    center().postNotificationName("changed");
    EXPECT_EQ(log, std::vector<std::string> { "killer" });
    EXPECT_EQ(center().observerCount("changed"), 2u);

    killer->also = nullptr;
    killer.reset();
    center().postNotificationName("changed");
    EXPECT_EQ(log, (std::vector<std::string> { "killer", "latecomer" }));
    EXPECT_EQ(center().observerCount("changed"), 1u);
}
