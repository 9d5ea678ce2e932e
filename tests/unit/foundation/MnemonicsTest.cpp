// Button mnemonics: which letter a caption gets, and that the caption's own text stays.

#include "foundation/Mnemonics.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(Mnemonics, EachCaptionGetsAFreeLetter) {
    // One scope: the captions in order, each with what it comes out as.
    const struct {
        const char* caption;
        const char* marked;
    } scope[] = {
        {"Connect", "&Connect"},
        {"Download", "&Download"},
        {"Save", "&Save"},
        {"Set", "S&et"},             // S taken: the next free letter
        {"Send Test", "Send &Test"}, // a word's first letter before any other
        {"Set", "Set"},              // every letter taken: no marker
        {"Read", "&Read"},
        {"Q&&A", "&Q&&A"},           // a literal ampersand stays
        {"保存", "保存"},            // no Latin letter
        {"&Analyze", "&Analyze"},    // an old marker is dropped before the choice
        {"Cancel", "Ca&ncel"},
    };
    QString used;
    for (const auto& c : scope)
        EXPECT_EQ(withMnemonic(QString::fromUtf8(c.caption), used), QString::fromUtf8(c.marked)) << c.caption;
    EXPECT_EQ(used, "cdsetrqan");
}

TEST(Mnemonics, AButtonKeepsItsLetterWhenItsCaptionChanges) {
    QString used;
    EXPECT_EQ(withMnemonic("Disconnect", used, QChar('c')), "Dis&connect");
    used.clear();
    EXPECT_EQ(withMnemonic("Cancel", used, QChar('d')), "&Cancel") << "the old letter is not in the caption";
    used = "c";
    EXPECT_EQ(withMnemonic("Disconnect", used, QChar('c')), "&Disconnect") << "the old letter is taken";
}

TEST(Mnemonics, PlainCaptionAndTheMarkedLetter) {
    EXPECT_EQ(plainCaption("&Save"), "Save");
    EXPECT_EQ(plainCaption("Dis&connect"), "Disconnect");
    EXPECT_EQ(plainCaption("R&&D"), "R&&D");
    EXPECT_EQ(plainCaption("Save &"), "Save &");
    EXPECT_EQ(mnemonicOf("Dis&Connect"), QChar('c'));
    EXPECT_EQ(mnemonicOf("R&&D"), QChar());
    EXPECT_EQ(mnemonicOf("R&&&D"), QChar('d'));
    EXPECT_EQ(mnemonicOf("Save"), QChar());
}

// What the style draws for a button given a letter: the caption with that letter underlined.
TEST(Mnemonics, MarkedAtTheLetter) {
    EXPECT_EQ(markedAt("Disconnect", QChar('c')), "Dis&connect");
    EXPECT_EQ(markedAt("Set", QChar('T')), "Se&t");
    EXPECT_EQ(markedAt("Q&&A", QChar('a')), "Q&&&A");
    EXPECT_EQ(markedAt("Save", QChar('x')), "Save");
    EXPECT_EQ(markedAt("&Save", QChar('a')), "&Save") << "a caption with its own marker keeps it";
    EXPECT_EQ(markedAt("Save", QChar()), "Save");
}
