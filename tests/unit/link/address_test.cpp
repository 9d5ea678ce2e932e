// The UPS address typed into the connection bar.

#include "link/LinkTypes.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(UpsAddress, TypedTextIsCheckedAtTheKeyAndAtConnect) {
    const struct {
        const char* text;
        AddressInput input;
        int address; // 0: Connect refuses it
    } cases[] = {
        {"", AddressInput::Intermediate, 0},   {"1", AddressInput::Acceptable, 1},
        {"25", AddressInput::Acceptable, 25},  {"254", AddressInput::Acceptable, 254},
        {"255", AddressInput::Invalid, 0},     {"300", AddressInput::Invalid, 0},
        {"0", AddressInput::Invalid, 0},       {"01", AddressInput::Invalid, 1},
        {"1000", AddressInput::Invalid, 0},    {"a300b", AddressInput::Invalid, 0},
        {"3a", AddressInput::Invalid, 0},      {"-1", AddressInput::Invalid, 0},
        {" 7", AddressInput::Invalid, 7},      {"٣", AddressInput::Invalid, 0},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(addressInput(text), c.input) << c.text;
        EXPECT_EQ(upsAddress(text).value_or(0), c.address) << c.text;
    }
    EXPECT_EQ(addressRangeText(1), "Address 1 ~ 254");
}
