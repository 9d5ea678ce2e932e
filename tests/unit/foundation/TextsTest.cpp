#include "foundation/AppTexts.h"
#include "foundation/Branding.h"
#include "link/LinkTypes.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(Languages, StoredTextAndLocaleChooseTheStartLanguage) {
    const QLocale prc(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    const QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    struct Case { const char* stored; QLocale locale; int expected; };
    const Case cases[] = {
        {"XXX", prc, LangCN},  {"XXX", taiwan, LangEN}, {"XXX", us, LangEN}, {"XXX", de, LangEN},
        {"CN", us, LangCN},    {"CHT", prc, LangCHT},   {"EN", prc, LangEN},
        {"cn", prc, LangEN},   {"FR", prc, LangEN},     {"", prc, LangEN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(startLanguage(c.stored, c.locale), c.expected)
            << c.stored << " " << c.locale.name().toStdString();
}

TEST(Languages, TextsAndLocaleNumbersRoundTrip) {
    const struct { int language; const char* text; int locale; } rows[] = {
        {LangCN, "CN", 2052}, {LangEN, "EN", 1033}, {LangCHT, "CHT", 1028}};
    for (const auto& r : rows) {
        EXPECT_EQ(languageText(r.language), r.text);
        EXPECT_EQ(languageFromText(r.text), r.language);
        EXPECT_EQ(languageLocaleId(r.language), r.locale);
    }
}

TEST(CommonMessages, RowsKeepTheirExactTextsAndNumbers) {
    EXPECT_EQ(commonMessage(0, LangEN), "Conditions not OK!");
    EXPECT_EQ(commonMessage(4, LangEN), "Range 0.1-5.0, uint Hz/s"); // the odd spelling stays
    EXPECT_EQ(commonMessage(11, LangCHT), QString::fromUtf8("未輸入數位或數位錯誤!"));
    EXPECT_EQ(commonMessage(24, LangEN), "Rang 1000 ~ 60000, unit Hours");
    EXPECT_EQ(commonMessage(26, LangCHT), QString::fromUtf8("當前值範圍 0 ~ 6000, 單位:小時"));
    EXPECT_EQ(commonMessage(34, LangCN), QString::fromUtf8("当前值范围 30 ~ 3000，单位:天"));
    for (int language = 0; language < kLanguageCount; ++language) {
        // The connection uses rows 9 and 10; they must say what the connect handler says.
        EXPECT_EQ(commonMessage(MsgWrongAddress, language),
                  linkMessageText(LinkMessage::WrongAddress, language));
        EXPECT_EQ(commonMessage(MsgPortFailed, language),
                  linkMessageText(LinkMessage::PortOpenFailed, language));
        EXPECT_TRUE(commonMessage(14, language).isEmpty());
        EXPECT_TRUE(commonMessage(16, language).isEmpty());
        for (int row = 0; row < kCommonMessageCount; ++row)
            if (row != 14 && row != 16) {
                EXPECT_FALSE(commonMessage(row, language).isEmpty()) << row;
            }
    }
    EXPECT_TRUE(commonMessage(35, LangEN).isEmpty());
    EXPECT_TRUE(commonMessage(-1, LangEN).isEmpty());
}

TEST(PageCaptions, SixteenNodesPerLanguageWithTheirBlanks) {
    EXPECT_EQ(pageCaption(0, LangCN), QString::fromUtf8("首        页"));
    EXPECT_EQ(pageCaption(14, LangCHT), QString::fromUtf8("幫        助"));
    EXPECT_EQ(pageCaption(2, LangEN), "MainIpData");
    EXPECT_EQ(pageCaption(13, LangCHT), QString::fromUtf8("軟體燒錄"));
    EXPECT_EQ(pageCaption(15, LangEN), "About");
    EXPECT_EQ(pageCaption(16, LangEN), "EventLog");
    EXPECT_TRUE(pageCaption(kPageCount, LangEN).isEmpty());
}

TEST(Branding, RowOneColumnOneValues) {
    const QStringList items = brandingModelItems();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(items.first(), "Auto");
    EXPECT_EQ(items[7], "31/11 Tower X(6-20kVA)");
    EXPECT_EQ(items[9], "1/1 Tower(1-3kVA)");
    EXPECT_EQ(brandingVersionLabel(), "Version 1.92_EC");
    EXPECT_EQ(brandingDefaultPassword(), "73019264");
    EXPECT_EQ(brandingTitle(LangCN), QString::fromUtf8("UPS电源监控"));
    EXPECT_EQ(brandingTitle(LangEN), "UPS POWER ZAV");
    EXPECT_EQ(brandingTitle(LangCHT), QString::fromUtf8("UPS电源监控"));
    const BrandingColumn& column = brandingColumn();
    EXPECT_TRUE(column.customerLogo);
    EXPECT_FALSE(column.makerHeader);
    EXPECT_FALSE(column.languageLabels);
    EXPECT_FALSE(column.makerTexts);
    EXPECT_FALSE(column.scodeTriggerTab);
    EXPECT_EQ(column.titlePos, QPoint(260, 150));
    EXPECT_EQ(column.versionPos, QPoint(260, 190));
}

TEST(LinkStatus, StatusBarTexts) {
    EXPECT_EQ(linkStatusText(true, LangEN), "UPS Connected");
    EXPECT_EQ(linkStatusText(false, LangEN), "UPS not Connected");
    EXPECT_EQ(linkStatusText(true, LangCHT), QString::fromUtf8("UPS已連接"));
    EXPECT_EQ(linkStatusText(false, LangCN), QString::fromUtf8("UPS未连接"));
}
