// Line settings of a pseudo-terminal pair, read on the master side as the server does.

#include "PtyLine.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

using namespace zav::sim;

TEST(SimPtyLine, RateSetOnTheDeviceSideIsSeenOnTheMaster) {
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    for (int rate : {1200, 9600, 14400, 19200, 38400}) {
        ASSERT_TRUE(configurePtyLine(slave, rate)) << rate;
        EXPECT_EQ(ptyLineBaud(master), rate);
    }
    close(master);
    close(slave);
    EXPECT_EQ(ptyLineBaud(master), 0) << "a closed descriptor has no rate";
}
