// The journal page and the notification choices in the window, on the window's own journal.
#include "app_fixture.h"

#include "app/widgets/FormPassword.h"
#include "foundation/AppTexts.h"
#include "journal/DesktopNotifier.h"
#include "journal/JournalFeed.h"
#include "journal/widgets/JournalPages.h"
#include "journal/widgets/NotifyChoiceBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace zav;
using namespace zav::test;

namespace {

class JournalPageTest : public ShellTest {
  protected:
    EventJournal& journal() { return shell->journalFeed().journal(); }
    void add(EventType type, int minutesAgo, const QString& text) {
        UpsEvent e;
        e.type = type;
        e.time = QDateTime::currentDateTimeUtc().addSecs(-60 * minutesAgo);
        e.ups = "/dev/ttyUSB0";
        e.text = text;
        journal().add(e);
    }
    QStringList column(int c) {
        auto* t = find<QTableWidget>("TableJournal");
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r) out << t->item(r, c)->text();
        return out;
    }
};

TEST_F(JournalPageTest, ShowsTheJournalNewestFirstFilteredAndExported) {
    start(options());
    ASSERT_TRUE(journal().isOpen()) << journal().error().toStdString();
    add(EventType::PowerFail, 60 * 24 * 3, "Utility failure three days ago");
    add(EventType::AlarmRaised, 90, "Alarm: Fan Fail");
    add(EventType::PowerBack, 30, "Utility power is back");
    ASSERT_TRUE(journal().flush());
    window().show();
    window().showPage(kJournalPageIndex);
    EXPECT_EQ(column(2), (QStringList{"Utility power is back", "Alarm: Fan Fail", "Utility failure three days ago"}));
    EXPECT_EQ(find<QLabel>("LabelJournalStatus")->text(), "3 events");

    // A new batch shows on the page while it is on screen.
    add(EventType::LinkLost, 0, "Link to the UPS lost");
    ASSERT_TRUE(journal().flush());
    EXPECT_EQ(column(2).first(), "Link to the UPS lost");

    auto* kind = find<QComboBox>("ComboJournalKind");
    kind->setCurrentIndex(int(eventKinds().indexOf("power")) + 1);
    EXPECT_EQ(column(2), (QStringList{"Utility power is back", "Utility failure three days ago"}));
    find<QComboBox>("ComboJournalRange")->setCurrentIndex(int(JournalRange::Day));
    EXPECT_EQ(column(2), QStringList{"Utility power is back"});
    kind->setCurrentIndex(0);
    find<QLineEdit>("EditJournalSearch")->setText("fan");
    EXPECT_EQ(column(2), QStringList{"Alarm: Fan Fail"});

    auto* page = qobject_cast<JournalPage*>(window().page(kJournalPageIndex));
    ASSERT_NE(page, nullptr);
    const QString csv = dir.filePath("out.csv");
    page->exportTo(csv);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF" "time,ups,event,kind,text,details\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 2); // the header and the one event the filter shows
    EXPECT_TRUE(bytes.contains(",/dev/ttyUSB0,alarm,alarm,Alarm: Fan Fail,"));
    EXPECT_TRUE(find<QLabel>("LabelJournalStatus")->text().startsWith("Exported: "));

    // Chinese captions with the language.
    page->applyLanguage(LangCN);
    EXPECT_EQ(find<QTableWidget>("TableJournal")->horizontalHeaderItem(2)->text(), "事件");
    EXPECT_EQ(kind->itemText(0), "全部类别");
    EXPECT_EQ(pageCaption(kJournalPageIndex, LangCHT), "事件日誌");
}

TEST_F(JournalPageTest, AJournalThatCannotBeOpenedIsSaidAndTheWindowGoesOn) {
    writeIni("");
    QFile bad(dir.filePath("bad.sqlite"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("garbage\n").repeated(1000));
    bad.close();
    ShellOptions o = options();
    o.journalPath = dir.filePath("bad.sqlite");
    start(o);
    EXPECT_FALSE(journal().isOpen());
    window().showPage(kJournalPageIndex);
    EXPECT_TRUE(find<QLabel>("LabelJournalStatus")->text().startsWith("No event journal: ")) << find<QLabel>("LabelJournalStatus")->text().toStdString();
    EXPECT_EQ(find<QTableWidget>("TableJournal")->rowCount(), 0);
    EXPECT_FALSE(find<QPushButton>("ButtonJournalExport")->isEnabled());
}

TEST_F(JournalPageTest, NotificationChoicesAreKeptAndApplied) {
    writeIni("[Notify]\nAlarm=0\n");
    start(options());
    EXPECT_FALSE(shell->notifier().choices()[size_t(NotifyChoice::Alarm)]);
    EXPECT_TRUE(shell->notifier().choices()[size_t(NotifyChoice::PowerFail)]);
    FormPassword& dialog = shell->formPassword();
    auto* box = dialog.findChild<NotifyChoiceBox*>("GroupNotify");
    ASSERT_NE(box, nullptr);
    dialog.show();
    auto* alarm = dialog.findChild<QCheckBox*>("CheckBoxNotifyAlarm");
    auto* power = dialog.findChild<QCheckBox*>("CheckBoxNotifyPowerFail");
    ASSERT_TRUE(alarm && power);
    EXPECT_FALSE(alarm->isChecked());
    EXPECT_EQ(power->text(), "Utility failure");
    alarm->setChecked(true);
    power->setChecked(false);
    dialog.findChild<QPushButton*>("ButtonNotifySet")->click();
    EXPECT_TRUE(shell->notifier().choices()[size_t(NotifyChoice::Alarm)]);
    EXPECT_FALSE(shell->notifier().choices()[size_t(NotifyChoice::PowerFail)]);
    const QByteArray ini = readIni();
    EXPECT_TRUE(ini.contains("Alarm=1")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("PowerFail=0")) << ini.toStdString();
    dialog.hide();
}

} // namespace
