// The simulated adapter pull: the port's path goes away and stays away while the pair lives, even when
// other pseudo-terminals are opened meanwhile (tests run side by side and open them all the time).

#include "PtyPair.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using zav::sim::PtyPair;

TEST(SimPtyPair, AHungUpPortsPathIsGoneAndNotGivenToTheNextPair) {
    PtyPair pulled;
    QString error;
    ASSERT_TRUE(pulled.open(9600, &error)) << error.toStdString();
    const QString path = pulled.devicePath();
    ASSERT_TRUE(QFile::exists(path));

    pulled.hangUp();
    EXPECT_LT(pulled.master(), 0);
    EXPECT_FALSE(QFile::exists(path));

    // The kernel hands out the lowest free number: a freed one would come back at once.
    std::vector<std::unique_ptr<PtyPair>> later;
    for (int i = 0; i < 3; ++i) {
        later.push_back(std::make_unique<PtyPair>());
        ASSERT_TRUE(later.back()->open(9600, &error)) << error.toStdString();
        EXPECT_NE(later.back()->devicePath(), path);
    }
    EXPECT_FALSE(QFile::exists(path));
}
