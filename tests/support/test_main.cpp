#include <weeapp/platform_state.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

// Every test runs in a platform state of its own, made before its fixture and ended after it,
// so nothing one test leaves in the platform reaches another.
class FreshPlatformState : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { m_state.emplace(); }
    void OnTestEnd(const testing::TestInfo&) override { m_state.reset(); }

    std::optional<weeapp::PlatformState> m_state;
};

}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshPlatformState);
    return RUN_ALL_TESTS();
}
