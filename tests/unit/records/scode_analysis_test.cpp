// S-code analysis: reading the memo's lines into the eight groups, the two warnings, the state
// texts of the 128 items and their colours.

#include "records/SCodeAnalysis.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

constexpr int CN = 0, EN = 1;

int row(int group, int digit) {
    return group * kSCodeDigits + digit;
}

TEST(SCodeAnalysis, Warnings) {
    struct Case {
        const char* memo;
        SCodeAnalysis::Result result;
        const char* message; // English
    };
    const Case cases[] = {
        {"", SCodeAnalysis::Result::NothingFound, "Not found SCode"},
        {"hello\nworld", SCodeAnalysis::Result::NothingFound, "Not found SCode"},
        {"S0: 1000-0000-0000-0000", SCodeAnalysis::Result::Ok, ""},
        {"s0:1000-0000-0000-0000", SCodeAnalysis::Result::Ok, ""},
        {"S0: 1000-0000-0000-00A0", SCodeAnalysis::Result::FormatError,
         "S0input format not correct or exist too many"},
        {"S0: 1000-0000-0000-000", SCodeAnalysis::Result::FormatError,
         "S0input format not correct or exist too many"},
        {"S0: 1000+0000-0000-0000", SCodeAnalysis::Result::FormatError,
         "S0input format not correct or exist too many"},
        {"A2: 0000-0000-0000-0000\nA2: 0000-0000-0000-0000", SCodeAnalysis::Result::FormatError,
         "A2input format not correct or exist too many"},
        // A0 occurs inside the line and is tried first: A0 is the group reported.
        {"A1:0A05-0000-0000-0000", SCodeAnalysis::Result::FormatError,
         "A0input format not correct or exist too many"},
        // The first group in key order with an error is named, not the first line.
        {"A5: 0000-0000-000X-0000\nS1: 00-00", SCodeAnalysis::Result::FormatError,
         "S1input format not correct or exist too many"},
        // A whole pasted record: the title line names no group.
        {"01 SCode 03# 2013-07-05 08:03:09\r\nS0: 1000-0000-0000-0000\r\nS1: 0000-0000-0000-0001\r\n"
         "A0: 0100-0000-0000-0000\r\nA1: 0000-0000-0000-0000\r\nA2: 0000-0000-0000-0000\r\n"
         "A3: 0000-0000-0000-0000\r\nA4: 0000-0000-0000-0000\r\nA5: 0000-0000-0000-0000",
         SCodeAnalysis::Result::Ok, ""},
    };
    for (const Case& c : cases) {
        const SCodeAnalysis a = analyzeSCode(QString::fromUtf8(c.memo));
        EXPECT_EQ(a.result, c.result) << c.memo;
        EXPECT_EQ(scodeAnalysisMessage(a, EN), QString::fromUtf8(c.message)) << c.memo;
    }
    EXPECT_EQ(scodeAnalysisMessage(analyzeSCode("x"), CN), QString::fromUtf8("没有查询到可解析的SCode"));
    EXPECT_EQ(scodeAnalysisMessage(analyzeSCode("A0:"), CN), QString::fromUtf8("A0输入格式不正确或存在多个"));
}

struct StateCase {
    int row;
    const char* text;
};

void expectStates(const SCodeAnalysis& a, int model, int language, std::initializer_list<StateCase> cases) {
    for (const StateCase& c : cases)
        EXPECT_EQ(scodeStateText(a, c.row, model, language), QString::fromUtf8(c.text)) << c.row;
}

TEST(SCodeAnalysis, OnlyS0Given) {
    const SCodeAnalysis a = analyzeSCode("S0: 1000-0000-0000-0000");
    expectStates(a, 1, EN,
                 {{row(0, 0), "UPS"}, {row(0, 1), "OFF"}, {row(0, 4), "Disconnect"}, {row(0, 13), "Enable"}});
    for (int r = kSCodeDigits; r < kSCodeItemRows; ++r)
        EXPECT_EQ(scodeStateText(a, r, 1, EN), "?") << r;
    EXPECT_EQ(scodeCellColour("?"), SCodeCellColour::Unknown);
}

TEST(SCodeAnalysis, StatesByValue) {
    const SCodeAnalysis a = analyzeSCode("S0: 8343-2000-0000-0000\n"
                                         "S1: 1241-0000-0000-0000\n"
                                         "A0: 1120-0000-0000-0002\n"
                                         "A1: 0010-0000-0000-0000\n"
                                         "A5: 0012-3000-0000-0000");
    ASSERT_EQ(a.result, SCodeAnalysis::Result::Ok);
    expectStates(a, 1, EN,
                 {{row(0, 0), "Undefined"}, // 8
                  {row(0, 1), "X"},         // 3 has no text
                  {row(0, 2), "Undefined"}, // 4
                  {row(0, 3), "X"},
                  {row(0, 4), "Float Charging"},
                  {row(1, 0), "Yes"},
                  {row(1, 1), "Undefined"}, // 2 on a yes/no item
                  {row(1, 2), "Undefined"}, // 4
                  {row(1, 3), "Trip"},
                  {row(1, 8), "Reserved"},
                  {row(2, 0), "Asynchronize"},
                  {row(2, 1), "Fault"},
                  {row(2, 2), "Undefined"},
                  {row(2, 15), "High"},
                  {row(3, 2), "Fault"}, // Output Current Phase A
                  {row(7, 2), "Pass"},
                  {row(7, 3), "Fail"},
                  {row(7, 4), "X"}, // 3 on an alarm item
                  {row(4, 0), "?"}});
    expectStates(
        a, 1, CN,
        {{row(0, 0), "未定义"}, {row(2, 1), "故障"}, {row(7, 3), "测试失败"}, {row(0, 13), "禁止开机"}});
}

TEST(SCodeAnalysis, ItemNamesAndModelVariant) {
    EXPECT_EQ(scodeItemName(row(0, 0), 1, EN), "Output Power Source");
    EXPECT_EQ(scodeItemName(row(0, 0), 1, CN), QString::fromUtf8("供电源"));
    EXPECT_EQ(scodeItemName(row(2, 1), 1, CN), QString::fromUtf8("市电"));
    EXPECT_EQ(scodeItemName(row(7, 2), 1, CN), QString::fromUtf8("电池手动自检测试"));
    EXPECT_EQ(scodeItemName(row(3, 2), 1, EN), "Output Current Phase A");
    EXPECT_EQ(scodeItemName(row(3, 5), 1, EN), "Postive DC Bus Voltage");
    EXPECT_EQ(scodeItemName(row(3, 5), 0, EN), "Line Synchronization Signal");
    EXPECT_EQ(scodeItemName(row(3, 6), 0, EN), "PWM Synchronization Signal");
    EXPECT_EQ(scodeItemName(row(7, 15), 1, EN), "Reserved");
    EXPECT_EQ(scodeGroupKey(0), "S0");
    EXPECT_EQ(scodeGroupKey(127), "A5");
    EXPECT_EQ(scodeWordNumber(row(2, 0)), "1");
    EXPECT_EQ(scodeWordNumber(row(2, 7)), "2");
    EXPECT_EQ(scodeWordNumber(row(2, 15)), "4");
    for (int r = 0; r < kSCodeItemRows; ++r)
        EXPECT_FALSE(scodeItemName(r, 1, 2).isEmpty()) << r;

    // Model 0's synchronisation signals are fault items: digit 2 has no "High".
    const SCodeAnalysis a = analyzeSCode("A1: 0000-0210-0000-0000");
    EXPECT_EQ(scodeStateText(a, row(3, 5), 0, EN), "Undefined");
    EXPECT_EQ(scodeStateText(a, row(3, 5), 1, EN), "High");
    EXPECT_EQ(scodeStateText(a, row(3, 6), 0, EN), "Fault");
}

TEST(SCodeAnalysis, ColoursByText) {
    struct Case {
        const char* text;
        SCodeCellColour colour;
    };
    const Case cases[] = {
        {"?", SCodeCellColour::Unknown},           {"X", SCodeCellColour::Alarm},
        {"Fault", SCodeCellColour::Alarm},         {"故障", SCodeCellColour::Alarm},
        {"Low", SCodeCellColour::Alarm},           {"低压", SCodeCellColour::Alarm},
        {"High", SCodeCellColour::Alarm},          {"过压", SCodeCellColour::Alarm},
        {"Asynchronize", SCodeCellColour::Alarm},  {"不同步", SCodeCellColour::Alarm},
        {"Undefined", SCodeCellColour::Undefined}, {"未定义", SCodeCellColour::Undefined},
        {"Reserved", SCodeCellColour::Reserved},   {"保留", SCodeCellColour::Reserved},
        {"Normal", SCodeCellColour::Normal},       {"UPS", SCodeCellColour::Normal},
        {"S0", SCodeCellColour::Normal},           {"Fault Clear", SCodeCellColour::Normal},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scodeCellColour(QString::fromUtf8(c.text)), c.colour) << c.text;
}

} // namespace

namespace {

// "Show abnormal only" follows the decoder's judgement of each state, which the colour by text
// cannot give: the bypass's "Abnormal" and a tripped shunt are faults, an idle test is not.
TEST(SCodeAnalysis, SeverityOfTheStates) {
    const SCodeAnalysis a = analyzeSCode("S0: 0000-0000-0000-0000\n"
                                         "S1: 0001-0010-0000-0000\n"
                                         "A0: 2100-0009-0000-0000\n"
                                         "A5: 0012-0000-0000-0000");
    ASSERT_EQ(a.result, SCodeAnalysis::Result::Ok);
    const struct {
        int row;
        SCodeSeverity severity;
    } cases[] = {
        {row(0, 0), SCodeSeverity::Alarm},     // no source supplies the load
        {row(0, 3), SCodeSeverity::Alarm},     // bypass "Abnormal"
        {row(0, 5), SCodeSeverity::Normal},    // a breaker open
        {row(1, 3), SCodeSeverity::Alarm},     // shunt trip
        {row(1, 6), SCodeSeverity::Alarm},     // EPO
        {row(1, 1), SCodeSeverity::Normal},    // inverter ready capacity enough
        {row(1, 8), SCodeSeverity::Reserved},  // reserved items never count
        {row(2, 0), SCodeSeverity::Undefined}, // synchronisation value 2
        {row(2, 1), SCodeSeverity::Alarm},     // utility fault
        {row(2, 2), SCodeSeverity::Normal},
        {row(2, 7), SCodeSeverity::Undefined}, // 9: a value without a text ("X")
        {row(3, 0), SCodeSeverity::Unknown},   // A1 was not given ("?")
        {row(7, 2), SCodeSeverity::Normal},    // a test passed
        {row(7, 4), SCodeSeverity::Normal},    // no test run: "Undefined" is its text, not a fault
        {row(7, 3), SCodeSeverity::Alarm},     // a test failed
    };
    for (const auto& c : cases) EXPECT_EQ(scodeStateSeverity(a, c.row, 1), c.severity) << c.row;
    EXPECT_EQ(scodeStateText(a, row(0, 3), 1, EN), "Abnormal");
    EXPECT_EQ(scodeCellColour(scodeStateText(a, row(0, 3), 1, EN)), SCodeCellColour::Normal)
        << "the text alone does not tell";
    EXPECT_EQ(scodeStateText(a, row(7, 4), 1, EN), "Undefined");
    for (SCodeSeverity s : {SCodeSeverity::Alarm, SCodeSeverity::Undefined, SCodeSeverity::Unknown})
        EXPECT_TRUE(scodeAbnormal(s));
    for (SCodeSeverity s : {SCodeSeverity::Normal, SCodeSeverity::Reserved}) EXPECT_FALSE(scodeAbnormal(s));
    EXPECT_EQ(scodeColumnTitle(3, EN), "Item");
    EXPECT_EQ(scodeColumnTitle(4, CN), QString::fromUtf8("状态"));
}

} // namespace
