#include <weeapp/sys/notification_center.h>

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
    NotificationCenter& center() { return NotificationCenter::defaultCenter(); }
};

}

// A post runs every live observer of the name at once, in registration order; observers
// destroyed meanwhile (even by an earlier observer of the same post) are skipped, and those
// registered during a post wait for the next one.
TEST_F(NotificationCenterTest, DeliversSynchronouslyToLiveObservers)
{
    std::vector<std::string> log;
    auto killer = std::make_unique<Listener>();
    auto victim = std::make_unique<Listener>();
    Listener latecomer, other;
    killer->log = victim->log = latecomer.log = other.log = &log;
    killer->name = "killer";
    victim->name = "victim";
    latecomer.name = "latecomer";
    other.name = "other";
    center().addObserver(killer.get(), &Listener::changed, "changed");
    center().addObserver(victim.get(), &Listener::changed, "changed");
    center().addObserver(&other, &Listener::changed, "unrelated");

    center().postNotificationName("changed");
    EXPECT_EQ(log, (std::vector<std::string> { "killer", "victim" }));

    killer->also = [&] {
        victim.reset();
        center().addObserver(&latecomer, &Listener::changed, "changed");
    };
    log.clear();
    center().postNotificationName("changed");
    EXPECT_EQ(log, std::vector<std::string> { "killer" });
    EXPECT_EQ(center().observerCount("changed"), 2u);

    killer->also = nullptr;
    killer.reset();
    center().postNotificationName("changed");
    EXPECT_EQ(log, (std::vector<std::string> { "killer", "latecomer" }));
    EXPECT_EQ(center().observerCount("changed"), 1u);
}
