// The field-data buttons in a window with the port closed: saving in both formats, loading a file
// back into the stores and the record tables, and the messages for a missing model, an unknown
// file type and a damaged file.

#include "FakeSerialChannel.h"
#include "app_fixture.h"
#include "session/UpsSession.h"
#include "records/RecordDownload.h"
#include "settings/FieldDataText.h"
#include "settings/widgets/FieldDataPanel.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using zav::test::FakeSerialChannel;

namespace {

class AnsweringDialogs : public FieldDataDialogs {
  public:
    QString saveName, openName;
    int saveType = 1;
    QStringList messages, questions;
    bool confirmAnswer = true;
    void askSave(QWidget*, const QString&, const QString&, std::function<void(const QString&, int)> chosen) override {
        if (!saveName.isEmpty()) chosen(saveName, saveType);
    }
    void askOpen(QWidget*, const QString&, const QString&, std::function<void(const QString&)> chosen) override {
        if (!openName.isEmpty()) chosen(openName);
    }
    void message(QWidget*, const QString& text) override { messages << text; }
    void confirm(QWidget*, const QString& text, std::function<void(bool)> answer) override {
        questions << text;
        answer(confirmAnswer);
    }
};

class FieldDataPanelTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    AppContext context{&scheduler, 1, nullptr};
    QWidget window;
    QComboBox* models = new QComboBox(&window);
    HistoryDownload history;
    SCodeDownload scodes;
    FieldDataPanel* panel = nullptr;
    AnsweringDialogs dialogs;
    QTemporaryDir dir;

    void SetUp() override {
        models->setObjectName("ComboBoxUpsType");
        for (int i = 0; i < 10; ++i) models->addItem(QString::number(i));
        models->setCurrentIndex(6);
        scheduler.setRecordJob(1, &history);
        scheduler.setRecordJob(2, &scodes);
        panel = new FieldDataPanel(context, &window);
        panel->setDialogs(&dialogs);
        scheduler.live().LiveData.set(78, 1234);
        scheduler.settings().SettingData.set(301, 2);
        setHistoryCell(0, 0, "No.");
        setHistoryCell(1, 0, "1"); // rows are saved up to the first without a number
        setHistoryCell(1, 2, "Inverter fail, module 1");
        TextGrid s = scodes.grid();
        s.set(0, 0, "S0001");
        scodes.loadGrid(s);
    }
    void setHistoryCell(int row, int column, const QString& text) {
        TextGrid g = history.grid();
        g.set(column, row, text);
        history.loadGrid(g);
    }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(name); }
    // Restore Data, then the end of the file read (it runs off the GUI thread).
    void restore() {
        button("ButtonResumeCurData")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->reading(); }, 30'000));
    }
};

} // namespace

TEST_F(FieldDataPanelTest, SavedFilesLoadBackIntoTheStoresAndTables) {
    for (int type : {1, 2}) {
        SCOPED_TRACE(type);
        dialogs.saveType = type;
        dialogs.saveName = dir.filePath(type == 1 ? "snap.xls" : "snap");
        button("ButtonSaveCurData")->click();
        ASSERT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
        const QString written = dir.filePath(type == 1 ? "snap.xlsx" : "snap.csv");
        ASSERT_TRUE(QFile::exists(written));
        EXPECT_EQ(window.findChild<QLabel*>("LabelSavedCurData")->text(),
                  "Data saved to " + QDir::toNativeSeparators(written)); // not silent

        scheduler.live().LiveData.set(78, 0);
        scheduler.settings().SettingData.set(301, 0);
        setHistoryCell(1, 2, QString());
        QSignalSpy redraw(&scheduler, &UpsSession::settingsDownloaded);
        dialogs.openName = written;
        restore();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
        EXPECT_EQ(scheduler.live().LiveData[78], 1234);
        EXPECT_EQ(scheduler.settings().SettingData[301], 2);
        EXPECT_EQ(history.grid().at(2, 1), QStringLiteral("Inverter fail, module 1"));
        EXPECT_EQ(scodes.grid().at(0, 0), QStringLiteral("S0001"));
        EXPECT_EQ(redraw.count(), 1);
    }
}

TEST_F(FieldDataPanelTest, AText305LinesLongLoadsOnlyItsFirstPart) {
    const QString path = dir.filePath("short.csv");
    QList<QByteArray> lines = FieldDataText::encode(panel->currentSnapshot()).split('\n');
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 305; ++i) f.write(lines[i] + '\n');
    f.close();
    scheduler.live().LiveData.set(78, 0);
    scheduler.settings().SettingData.set(361, 77);
    dialogs.openName = path;
    restore();
    EXPECT_EQ(scheduler.live().LiveData[78], 1234);
    EXPECT_EQ(scheduler.settings().SettingData[361], 77);
}

TEST_F(FieldDataPanelTest, MessagesForNoModelUnknownTypesAndDamagedFiles) {
    const QString bad = dir.filePath("bad.csv");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1\r\nnot a number\r\n");
    f.close();
    const QString junk = dir.filePath("notes.xlsx"); // named as a workbook, but neither kind inside
    QFile j(junk);
    ASSERT_TRUE(j.open(QIODevice::WriteOnly));
    j.write("hello\n");
    j.close();
    const struct {
        int modelItem;
        QString file;
        QString message;
    } cases[] = {
        {-1, bad, "upsType Error!"},
        {3, dir.filePath("x.txt"), "Cannot open the file"},
        {3, bad, "Data formatting error"},
        {0, dir.filePath("missing.xlsx"), "Cannot open the file"},
        {0, junk, "file type error"},
        {0, dir.path(), "Cannot open the file\n" + dir.path() + ": is a directory"},
    };
    for (const auto& c : cases) {
        dialogs.messages.clear();
        models->setCurrentIndex(c.modelItem);
        dialogs.openName = c.file;
        scheduler.live().LiveData.set(1, 999);
        restore();
        ASSERT_EQ(dialogs.messages.size(), 1) << c.message.toStdString();
        EXPECT_TRUE(dialogs.messages[0].startsWith(c.message)) << dialogs.messages[0].toStdString();
        EXPECT_EQ(scheduler.live().LiveData[1], 999);
    }
}

TEST_F(FieldDataPanelTest, AnUnknownSaveTypeOrAnUnwritablePlaceSaysSo) {
    dialogs.saveType = 0;
    dialogs.saveName = dir.filePath("x");
    button("ButtonSaveCurData")->click();
    EXPECT_EQ(dialogs.messages, QStringList{"Save file error"});
    dialogs.messages.clear();
    dialogs.saveType = 1;
    dialogs.saveName = dir.filePath("none/x.xlsx");
    button("ButtonSaveCurData")->click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QLatin1String("Save file error")));
    EXPECT_TRUE(window.findChild<QLabel*>("LabelSavedCurData")->text().isEmpty());
}

TEST_F(FieldDataPanelTest, OfflineLoadSetsThePagesUpForTheModelBoxOrTheFilesType) {
    const struct {
        int modelItem;
        uint16_t typeCode; // register 78 in the file
        int model;         // the model the pages are drawn for afterwards
    } cases[] = {
        {8, 1234, 7}, // a model chosen in the box wins
        {1, 5, 0},
        {0, 5, 4},    // "Auto": the file's type code, as detection would read it
        {0, 7, 7},    // code 7 is model 7 (the box lists it after code 9)
        {0, 1234, 7}, // an unknown code keeps the model the pages have
    };
    const QString path = dir.filePath("snap.csv");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.modelItem * 10000 + c.typeCode);
        scheduler.live().LiveData.set(78, c.typeCode);
        ASSERT_EQ(FieldDataText::save(path, panel->currentSnapshot()), QString());
        models->setCurrentIndex(c.modelItem);
        QSignalSpy chosen(&scheduler, &UpsSession::modelChosenOffline);
        dialogs.openName = path;
        restore();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
        EXPECT_EQ(scheduler.upsModel(), c.model);
        ASSERT_EQ(chosen.count(), 1);
        EXPECT_EQ(chosen.at(0).at(0).toInt(), c.model + 1);
        EXPECT_EQ(scheduler.live().LiveData[78], c.typeCode); // loaded after the pages were set up
    }

    // A file that cannot be read changes nothing, the model neither.
    models->setCurrentIndex(3);
    dialogs.openName = dir.filePath("missing.csv");
    restore();
    EXPECT_EQ(scheduler.upsModel(), 7);
}

// In the whole window: the pages are set up for the chosen model first, then show the file.
using zav::test::ShellTest;

TEST_F(ShellTest, AnOfflineLoadIsShownByThePagesOfTheChosenModel) {
    MainWindow& w = start(options());
    UpsSession& scheduler = w.scheduler();
    FieldSnapshot s;
    s.LiveData.set(25, 2304);
    s.LiveData.set(78, 5);
    s.SettingData.set(331, 37);
    s.history.set(0, 1, "1");
    s.history.set(2, 1, "Inverter fail, module 1");
    const QString path = dir.filePath("site.csv");
    ASSERT_EQ(FieldDataText::save(path, s), QString());

    auto* panel = find<FieldDataPanel>("FieldDataPanel");
    AnsweringDialogs answers;
    answers.openName = path;
    panel->setDialogs(&answers);
    find<QComboBox>("ComboBoxUpsType")->setCurrentIndex(8);
    QSignalSpy reset(&scheduler, &UpsSession::linkReset); // the window's re-initialisation
    find<QPushButton>("ButtonResumeCurData")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->reading(); }, 30'000)); // the file is read off the GUI thread
    EXPECT_EQ(reset.count(), 1);
    EXPECT_TRUE(answers.messages.isEmpty()) << answers.messages.join('|').toStdString();
    EXPECT_EQ(scheduler.upsModel(), 7);
    EXPECT_EQ(find<QComboBox>("ComboBoxUpsType")->currentIndex(), 8);
    EXPECT_EQ(scheduler.live().LiveData[25], 2304); // not cleared by the set-up that came first
    EXPECT_EQ(find<QLineEdit>("EditUPSModeOld")->text(), QStringLiteral("37"));
    // The history page shows the file's log, and its Save and analysis work on the same rows.
    const QTableWidgetItem* event = find<QTableWidget>("StringGridHislog")->item(1, 2);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->text(), QStringLiteral("Inverter fail, module 1"));
    auto* history = dynamic_cast<RecordDownload*>(scheduler.recordJob(1));
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->grid().at(2, 1), QStringLiteral("Inverter fail, module 1"));
}
