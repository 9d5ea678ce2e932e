#include "link/PortList.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(PortList, PlainCaseInsensitiveSort) {
    EXPECT_EQ(refreshPortBox("", {"COM2", "COM10", "com1"}).items, QStringList({"com1", "COM10", "COM2"}));
    EXPECT_EQ(refreshPortBox("", {"/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0"}).items,
              QStringList({"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB1"}));
}

TEST(PortList, TypedNameSurvivesTheRefresh) {
    const PortBoxContent box = refreshPortBox("/dev/pts/7", {"/dev/ttyS0"});
    EXPECT_EQ(box.text, "/dev/pts/7");
    EXPECT_EQ(box.items, QStringList({"/dev/ttyS0"}));
}

TEST(PortList, EmptyBoxTakesTheFirstPortOrStaysEmpty) {
    EXPECT_EQ(refreshPortBox("", {"/dev/ttyUSB0", "/dev/ttyS0"}).text, "/dev/ttyS0");
    const PortBoxContent none = refreshPortBox("", {});
    EXPECT_TRUE(none.items.isEmpty());
    EXPECT_TRUE(none.text.isEmpty());
}
