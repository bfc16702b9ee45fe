// The lock against sleep, taken from a fake logind on a bus of the test's
// own: what is asked for, and that giving it back closes the descriptor
// logind handed out (logind ends the lock when its end of the pipe sees
// that).
#include "platform/posix/logind_sleep_inhibitor.h"

#include <gtest/gtest.h>

#include "support/fake_logind.h"
#include "support/private_bus.h"

namespace qorvane {
namespace {

TEST(LogindSleepInhibitor, HoldsTheLockUntilGivenBackOrGone) {
    testing::PrivateBus bus;
    testing::FakeLogind logind(bus.address());
    {
        LogindSleepInhibitor inhibitor(bus.address());
        inhibitor.hold();
        ASSERT_TRUE(inhibitor.holding());
        inhibitor.hold();  // held already: not asked for twice
        EXPECT_EQ(logind.calls(), std::vector<std::string>{"sleep:idle Qorvane 変換中 block"});
        EXPECT_FALSE(logind.lockGone(100));
        inhibitor.release();
        EXPECT_FALSE(inhibitor.holding());
        EXPECT_TRUE(logind.lockGone(5000));

        inhibitor.hold();  // the next batch takes it afresh
        EXPECT_EQ(logind.calls().size(), 2u);
        EXPECT_FALSE(logind.lockGone(100));
    }
    EXPECT_TRUE(logind.lockGone(5000));  // the inhibitor went, and the lock with it
}

TEST(LogindSleepInhibitor, WithoutLogindOrWithoutABusNothingIsHeld) {
    testing::PrivateBus bus;
    LogindSleepInhibitor noLogind(bus.address());
    noLogind.hold();
    EXPECT_FALSE(noLogind.holding());
    noLogind.release();  // nothing to give back

    LogindSleepInhibitor noBus("unix:path=/nonexistent/qorvane-test-bus");
    noBus.hold();
    EXPECT_FALSE(noBus.holding());
}

}  // namespace
}  // namespace qorvane
