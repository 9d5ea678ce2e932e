// The record pages (history log and S-codes) and the S-code analysis window, offscreen, over a
// scheduler that talks to a scripted UPS on a fake channel. Widgets are found by their names.

#include "FakeUps.h"
#include "records/GridCsv.h"
#include "records/widgets/FormSCode.h"
#include "records/widgets/RecordDialogs.h"
#include "foundation/ProfileFile.h"
#include "records/widgets/RecordPages.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QDir>
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

struct ScriptedDialogs : RecordDialogs {
    QString answer; // the file name the user picks; empty = cancel
    QStringList asked, folders, warnings, errors;
    void askSaveFile(QWidget*, const QString& title, const QString& folder, const QString& fileName,
                     std::function<void(const QString&)> chosen) override {
        asked << title + "|" + fileName;
        folders << folder;
        if (!answer.isEmpty()) chosen(answer);
    }
    void warn(QWidget*, const QString& caption, const QString& text) override {
        warnings << caption + "|" + text;
    }
    void error(QWidget*, const QString& text) override { errors << text; }
};

class RecordsPagesTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    AppContext context{&scheduler, 1};
    QWidget window;
    ScriptedDialogs dialogs;
    RecordPage* history = nullptr;
    RecordPage* scode = nullptr;
    int historyCount = 12;
    int scodeCount = 2;

    void SetUp() override {
        history = qobject_cast<RecordPage*>(createRecordsPage(7, context, &window));
        scode = qobject_cast<RecordPage*>(createRecordsPage(8, context, &window));
        ASSERT_TRUE(history && scode);
        EXPECT_EQ(createRecordsPage(6, context, &window), nullptr);
        for (RecordPage* p : {history, scode}) {
            p->setDialogs(&dialogs);
            p->setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(13, 5, 9)); });
        }
        ups.mode = Protocol::Rtu;
        ups.answer = [this](const Request& r) { return answer(r); };
    }

    QByteArray answer(const Request& r) {
        const bool isHistory = r.function == fn::ReadHistory;
        if (!isHistory && r.function != fn::ReadSCode) return ups.defaultAnswer(r);
        QByteArray pdu;
        pdu.append(char(1));
        if (r.start > (isHistory ? historyCount : scodeCount)) {
            pdu.append(char(r.function | 0x80));
            pdu.append(char(2));
            return frame(ups.mode, pdu);
        }
        pdu.append(char(r.function));
        if (isHistory) {
            // Model 1: code 46 "Module Exit" of unit 5, set (r0 0x0B, r1 0x95); 2013-07-05 08:03:<n>.
            pdu.append(char(10));
            pdu.append(QByteArray::fromHex("0b95"));
            pdu.append(char(ToBcd(r.start % 60)));
            pdu.append(QByteArray::fromHex("0308050713"));
            pdu.append(char(historyCount >> 8)).append(char(historyCount & 0xFF));
        } else {
            pdu.append(char(72));
            QByteArray data(72, '\0');
            data[0] = char(scodeCount);
            data[1] = char(r.start);
            const char stamp[6] = {0x00, 0x05, 0x17, 0x09, 0x06, 0x14};
            data.replace(2, 6, QByteArray(stamp, 6));
            data[8] = char(0x10);  // S0: 1000-...: the UPS supplies the load
            data[27] = char(0x01); // A0 digit 7: positive battery string temperature fault
            pdu.append(data);
        }
        return frame(ups.mode, pdu);
    }

    void connectModel1() { connectModel(1); }
    void connectModel(int model) {
        ConnectRequest request;
        request.modelItem = model + 1;
        request.baudItem = 3;
        request.protocol = Protocol::Rtu;
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
    }

    template <class T> T* find(const char* name) {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* button) { find<QPushButton>(button)->click(); }
    QString cell(const char* grid, int row, int column = 0) {
        QTableWidgetItem* item = find<QTableWidget>(grid)->item(row, column);
        return item ? item->text() : QString();
    }
};

TEST_F(RecordsPagesTest, HistoryDownloadFromStartToEnd) {
    auto* button = find<QPushButton>("ButtonDownload");
    auto* progress = find<QProgressBar>("ProgressBarDownload");
    auto* hint = find<QLabel>("Label2");
    EXPECT_EQ(button->text(), "Download");
    EXPECT_EQ(find<QTableWidget>("StringGridHislog")->rowCount(), 1000);
    EXPECT_EQ(find<QTableWidget>("StringGridHislog")->columnCount(), 5);
    // Nothing has started: the hint says what Download does, not that it is downloading.
    EXPECT_EQ(hint->text(), "Press \"Download\" to read the records from the UPS; the live data pause meanwhile.");
    EXPECT_TRUE(progress->isHidden());

    click("ButtonDownload"); // the port is closed: nothing happens
    EXPECT_EQ(button->text(), "Download");
    EXPECT_EQ(scheduler.activity(), ActIdle);

    connectModel1();
    click("ButtonDownload");
    EXPECT_EQ(button->text(), "Cancel");
    EXPECT_EQ(scheduler.activity(), ActHistory);
    EXPECT_FALSE(progress->isHidden());
    EXPECT_EQ(hint->text(),
              "Downloading history from the UPS, the UPS data will not update, and may take a few "
              "minutes, please be patient...");
    EXPECT_EQ(cell("StringGridHislog", 0, 2), "EventLog");

    ASSERT_TRUE(ups.stepUntil([&] { return !history->job().running(); }));
    EXPECT_EQ(button->text(), "Download");
    EXPECT_FALSE(progress->isHidden()); // the end of the run stays until the next one
    EXPECT_EQ(progress->value(), 100);
    EXPECT_EQ(hint->text(), "Download history from the UPS has been completed!");
    EXPECT_EQ(scheduler.activity(), ActIdle);
    for (int n = 1; n <= historyCount; ++n) {
        EXPECT_EQ(cell("StringGridHislog", n, 0), QString::number(n));
        EXPECT_EQ(cell("StringGridHislog", n, 2), "05#Module Exit");
        EXPECT_EQ(cell("StringGridHislog", n, 3), "Set");
        EXPECT_EQ(cell("StringGridHislog", n, 4), QString("2013-07-05 08:03:%1").arg(n, 2, 10, QChar('0')));
    }
    EXPECT_EQ(cell("StringGridHislog", historyCount + 1, 0), "");

    // The filter box hides the rows without the text; the grid (and a saved file) keeps them all.
    auto* filter = find<QLineEdit>("EditHislogFilter");
    auto* table = find<QTableWidget>("StringGridHislog");
    filter->setText("08:03:1");
    for (int n = 0; n <= historyCount + 1; ++n)
        EXPECT_EQ(table->isRowHidden(n), !(n == 0 || (n >= 10 && n <= historyCount))) << n;
    filter->clear();
    for (int n = 0; n <= historyCount + 1; ++n) EXPECT_FALSE(table->isRowHidden(n)) << n;
}

// A model whose stamps are running hours: a note beside the table and a tool tip on the time
// title say so; the title cell and the saved file keep their fixed text.
TEST_F(RecordsPagesTest, RunningHoursAreLabelledAsSuch) {
    QTemporaryDir dir;
    auto* note = find<QLabel>("LabelHislogRunningTime");
    EXPECT_FALSE(note->isVisibleTo(&window)) << "no UPS, no rows";
    connectModel(7);
    ups.steps(1);
    const QString expected = "On this model \"DateAndTime\" is the UPS's running time in hours:minutes:seconds "
                             "(e.g. 00773:41:00), not a date";
    EXPECT_TRUE(note->isVisibleTo(&window)) << "the connected model, before any download";
    click("ButtonDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !history->job().running(); }));
    EXPECT_TRUE(cell("StringGridHislog", 1, 4).contains(QRegularExpression("^\\d{5}:\\d{2}:\\d{2}$")))
        << qPrintable(cell("StringGridHislog", 1, 4));
    EXPECT_TRUE(note->isVisibleTo(&window));
    EXPECT_EQ(note->text(), expected);
    auto* table = find<QTableWidget>("StringGridHislog");
    EXPECT_EQ(table->item(0, 4)->text(), "DateAndTime");
    EXPECT_EQ(table->item(0, 4)->toolTip(), expected);
    dialogs.answer = dir.filePath("hours");
    click("ButtonSave");
    QFile saved(dir.filePath("hours.csv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("Num.,ID,EventLog,Action,DateAndTime\r\n"));
    history->applyLanguage(0);
    EXPECT_TRUE(note->text().startsWith(QString::fromUtf8("此型号的“时间”列是UPS的运行时间"))) << qPrintable(note->text());
    history->applyLanguage(1);

    // The rows stay those of model 7 after the link ends; a calendar model's rows have no note.
    scheduler.disconnectLink();
    EXPECT_TRUE(note->isVisibleTo(&window));
    connectModel1();
    click("ButtonDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !history->job().running(); }));
    EXPECT_FALSE(note->isVisibleTo(&window));
    EXPECT_TRUE(table->item(0, 4)->toolTip().isEmpty());
}

TEST_F(RecordsPagesTest, CancelKeepsRowsAndDisconnectShowsTheIdleCaption) {
    historyCount = 40;
    connectModel1();
    click("ButtonDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return history->job().recordsRead() == 5; }));
    click("ButtonDownload");
    EXPECT_EQ(find<QPushButton>("ButtonDownload")->text(), "Download");
    EXPECT_FALSE(find<QProgressBar>("ProgressBarDownload")->isHidden()); // where it stopped
    EXPECT_EQ(find<QLabel>("Label2")->text(), "Download stopped; the records read so far stay in the table.");
    EXPECT_EQ(scheduler.activity(), ActIdle);
    ups.steps(20);
    EXPECT_EQ(cell("StringGridHislog", 5, 0), "5");
    EXPECT_EQ(cell("StringGridHislog", 6, 0), "");

    click("ButtonDownload");
    EXPECT_EQ(cell("StringGridHislog", 5, 0), "") << "a new download starts on a clear grid";
    ups.steps(10);
    scheduler.disconnectLink();
    EXPECT_EQ(find<QPushButton>("ButtonDownload")->text(), "Download");
}

TEST_F(RecordsPagesTest, SaveWritesTheGridAndReportsAFailure) {
    QTemporaryDir dir;
    ProfileFile profile(dir.filePath("ZAV.ini"));
    context.profile = &profile;
    connectModel1();
    click("ButtonDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !history->job().running(); }));

    dialogs.answer = dir.filePath("log.CSV");
    click("ButtonSave");
    ASSERT_EQ(dialogs.asked, QStringList({"Save as|HisLog2026-12-10_13-05-09.csv"}));
    QFile saved(dir.filePath("log.csv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_EQ(bytes, gridCsvBytes(history->job().grid()));
    EXPECT_TRUE(bytes.startsWith("Num.,ID,EventLog,Action,DateAndTime\r\n1,46,\"05#Module Exit\",Set,"
                                 "\"2013-07-05 08:03:01\"\r\n"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    // Said on the page, and the next dialog starts in that folder (kept in ZAV.ini).
    auto* savedLine = find<QLabel>("Label2Saved");
    EXPECT_TRUE(savedLine->isVisibleTo(&window));
    EXPECT_EQ(savedLine->text(), "Saved 12 records to " + QDir::toNativeSeparators(dir.filePath("log.csv")));
    EXPECT_EQ(dialogs.folders.value(0), QCoreApplication::applicationDirPath());

    dialogs.answer.clear(); // cancelled: nothing written, no message
    click("ButtonSave");
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(dialogs.folders.value(1), dir.path());

    dialogs.answer = dir.filePath("no/such/folder/log");
    click("ButtonSave");
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("Cannot create file \"" +
                                             dir.filePath("no/such/folder/log.csv") + "\". "));
    EXPECT_FALSE(savedLine->isVisibleTo(&window)); // no claim of a file that was not written
    context.profile = nullptr;
}

// A UPS holding more records than the tables have rows: the pages say how many did not fit, and
// the saved line counts the records written, not the ones read.
TEST_F(RecordsPagesTest, ALogLongerThanTheTableIsSaidOnThePage) {
    QTemporaryDir dir;
    historyCount = 1003;
    scodeCount = 113;
    connectModel1();
    const struct {
        RecordPage* page;
        const char* hint;
        const char* download;
        const char* save;
        const char* savedLine;
        const char* said;
        const char* saved;
    } pages[] = {
        {history, "Label2", "ButtonDownload", "ButtonSave", "Label2Saved",
         "The UPS holds 1003 records; only the first 999 fit the table.", "Saved 999 records to "},
        {scode, "LabelSCodeWait", "ButtonSCodeDownload", "ButtonSCodeSave", "LabelSCodeWaitSaved",
         "The UPS holds 113 records; only the first 111 fit the table.", "Saved 111 records to "},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.download);
        auto* hint = find<QLabel>(p.hint);
        if (!hint) continue;
        click(p.download);
        ASSERT_TRUE(ups.stepUntil([&] { return !p.page->job().running(); }, 10000));
        EXPECT_TRUE(hint->text().endsWith(QLatin1String("\n") + p.said)) << hint->text().toStdString();
        p.page->applyLanguage(2);
        EXPECT_TRUE(hint->text().contains(QStringLiteral("表中只容得下前"))) << hint->text().toStdString();
        p.page->applyLanguage(1);
        dialogs.answer = dir.filePath(QLatin1String(p.download) + ".csv");
        click(p.save);
        auto* saved = find<QLabel>(p.savedLine);
        if (saved) EXPECT_TRUE(saved->text().startsWith(QLatin1String(p.saved))) << saved->text().toStdString();
    }
    // A log that fits says nothing more.
    historyCount = 12;
    click("ButtonDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !history->job().running(); }));
    EXPECT_EQ(find<QLabel>("Label2")->text(), "Download history from the UPS has been completed!");
}

// The standard save dialog runs no nested event loop: the click returns with the dialog open, the
// link goes on stepping, and the file is written when the dialog is accepted.
TEST_F(RecordsPagesTest, TheSaveDialogDoesNotHoldTheClick) {
    QTemporaryDir dir;
    connectModel1();
    history->setDialogs(&standardRecordDialogs());
    click("ButtonDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !history->job().running(); }));
    window.show();
    // A nested event loop inside the click would run this queued call before the click returns; it
    // then closes the dialog so that the click can return and the test fails instead of hanging.
    auto inClick = std::make_shared<bool>(true), nested = std::make_shared<bool>(false);
    QTimer::singleShot(0, &window, [this, inClick, nested] {
        if (!*inClick) return;
        *nested = true;
        for (QFileDialog* d : window.findChildren<QFileDialog*>())
            d->reject();
    });
    click("ButtonSave"); // returns with the dialog open
    *inClick = false;
    ASSERT_FALSE(*nested);
    auto* dialog = find<QFileDialog>("SaveDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    const int before = int(ups.requests.size());
    ups.steps(20);
    EXPECT_GT(int(ups.requests.size()), before); // the link is not held by the open dialog
    EXPECT_FALSE(QFile::exists(dir.filePath("log.csv")));
    dialog->selectFile(dir.filePath("log"));
    static_cast<QDialog*>(dialog)->accept(); // the dialog's own accept, as its Save button
    QFile saved(dir.filePath("log.csv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), gridCsvBytes(history->job().grid()));
}

// Sorting and filtering move and hide table lines only: row n of the grid stays record n, an
// S-code record keeps its nine rows together, and a saved file keeps the download order.
TEST_F(RecordsPagesTest, SortAndFilterChangeTheTableButNotTheSavedFile) {
    QTemporaryDir dir;
    auto* table = find<QTableWidget>("StringGridHislog");
    auto* order = find<QComboBox>("ComboHislogOrder");
    auto lineShows = [&](int line) { return table->verticalHeader()->logicalIndex(line); };
    auto saveTo = [&](const char* button, const QString& name) {
        dialogs.answer = dir.filePath(name);
        click(button);
        QFile file(dir.filePath(name + ".csv"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
        return file.readAll();
    };
    EXPECT_EQ(order->currentText(), "Download order");

    // Two clicks on the "Num." title: descending, chosen before the rows arrive; the rows that come
    // in take their places in that order.
    emit table->cellClicked(0, 0);
    EXPECT_EQ(order->currentText(), "Num. ascending ▲");
    emit table->cellClicked(0, 0);
    EXPECT_EQ(order->currentText(), "Num. descending ▼");
    connectModel1();
    click("ButtonDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !history->job().running(); }));
    EXPECT_EQ(lineShows(0), 0) << "the title stays on top";
    for (int line = 1; line <= historyCount; ++line) EXPECT_EQ(lineShows(line), historyCount + 1 - line) << line;
    EXPECT_EQ(lineShows(historyCount + 1), historyCount + 1) << "empty rows stay at the end";
    EXPECT_EQ(cell("StringGridHislog", historyCount, 0), QString::number(historyCount)) << "row n is record n";
    // The wheel moves the selection three lines down the table's order, not the grid's.
    table->setCurrentCell(historyCount, 0); // listed first
    const QPointF at(10, 10);
    QWheelEvent down(at, table->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(table->viewport(), &down);
    EXPECT_EQ(table->currentRow(), historyCount - 3);

    find<QLineEdit>("EditHislogFilter")->setText("08:03:1");
    for (int n = 0; n <= historyCount + 1; ++n)
        EXPECT_EQ(table->isRowHidden(n), !(n == 0 || (n >= 10 && n <= historyCount))) << n;
    const QByteArray sorted = saveTo("ButtonSave", "sorted");
    EXPECT_EQ(sorted, gridCsvBytes(history->job().grid()));
    EXPECT_TRUE(sorted.startsWith("Num.,ID,EventLog,Action,DateAndTime\r\n1,46,"));
    EXPECT_EQ(sorted.count("\r\n"), 1000) << "every row, hidden or not";

    emit table->cellClicked(0, 0); // the third click: the download order again
    EXPECT_EQ(order->currentText(), "Download order");
    for (int line = 0; line < table->rowCount(); ++line) ASSERT_EQ(lineShows(line), line);
    find<QLineEdit>("EditHislogFilter")->clear();
    EXPECT_EQ(saveTo("ButtonSave", "plain"), sorted);

    // S-codes: records sorted by number, newest first, each a block of nine rows.
    scodeCount = 3;
    auto* codes = find<QTableWidget>("StringGridSCode");
    click("ButtonSCodeDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !scode->job().running(); }));
    const QByteArray before = saveTo("ButtonSCodeSave", "codes");
    auto* scodeOrder = find<QComboBox>("ComboSCodeOrder");
    ASSERT_EQ(scodeOrder->itemText(2), "Number descending ▼");
    emit scodeOrder->activated(2);
    for (int line = 0; line < 27; ++line)
        EXPECT_EQ(codes->verticalHeader()->logicalIndex(line), (2 - line / 9) * 9 + line % 9) << line;
    find<QLineEdit>("EditSCodeFilter")->setText("A0: 0000-0001");
    for (int r = 0; r < 30; ++r) EXPECT_EQ(codes->isRowHidden(r), r >= 27) << r;
    find<QLineEdit>("EditSCodeFilter")->setText("02 scode");
    for (int r = 0; r < 30; ++r) EXPECT_EQ(codes->isRowHidden(r), !(r >= 9 && r < 18)) << r;
    EXPECT_EQ(saveTo("ButtonSCodeSave", "codes-sorted"), before);
    emit scodeOrder->activated(0);
    for (int line = 0; line < codes->rowCount(); ++line) ASSERT_EQ(codes->verticalHeader()->logicalIndex(line), line);
}

TEST_F(RecordsPagesTest, SCodeDownloadDoubleClickAndAnalysis) {
    auto* tabs = find<QTabWidget>("PageControlSCode");
    EXPECT_TRUE(tabs->isTabVisible(0));
    EXPECT_FALSE(tabs->isTabVisible(1)) << "the trigger tab stays hidden in this branding";

    connectModel1();
    click("ButtonSCodeDownload");
    EXPECT_EQ(scheduler.activity(), ActSCode);
    ASSERT_TRUE(ups.stepUntil([&] { return !scode->job().running(); }));
    EXPECT_EQ(find<QLabel>("LabelSCodeWait")->text(), "Download SCode from the UPS has been completed!");
    EXPECT_EQ(cell("StringGridSCode", 9), "02 SCode 02# 2014-06-09 17:05:00");
    EXPECT_EQ(cell("StringGridSCode", 12), "A0: 0000-0001-0000-0000");

    auto* memo = find<QPlainTextEdit>("MemoSCodeAnalyze");
    auto* grid = find<QTableWidget>("StringGridSCode");
    memo->setPlainText("typed");
    emit grid->cellDoubleClicked(10, 0); // "S0: ..." is not a title row
    EXPECT_EQ(memo->toPlainText(), "typed");
    emit grid->cellDoubleClicked(9, 0);
    EXPECT_EQ(memo->toPlainText().split('\n').size(), 9);
    EXPECT_TRUE(memo->toPlainText().startsWith("02 SCode 02#"));

    click("ButtonSCodeAnalyze");
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    auto* form = window.findChild<QDialog*>("FormSCode");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("SCode解析"));
    auto* table = form->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 128);
    auto text = [&](int row, int col) { return table->item(row, col)->text(); };
    auto fill = [&](int row, int col) { return table->item(row, col)->background().color(); };
    EXPECT_EQ(text(0, 0), "1");
    EXPECT_EQ(text(0, 1), "S0");
    EXPECT_EQ(table->rowSpan(0, 1), 16);
    EXPECT_EQ(table->rowSpan(4, 2), 4);
    EXPECT_EQ(text(4, 2), "2");
    EXPECT_EQ(text(0, 3), "Output Power Source");
    EXPECT_EQ(text(0, 4), "UPS");
    EXPECT_EQ(table->item(0, 4)->background().style(), Qt::NoBrush);
    EXPECT_EQ(text(39, 3), "Postive Battery String Temperature");
    EXPECT_EQ(text(39, 4), "Fault");
    EXPECT_EQ(fill(39, 4), QColor(Qt::red));
    EXPECT_EQ(text(24, 3), "Reserved");
    EXPECT_EQ(fill(24, 3), QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    EXPECT_EQ(text(16 + 1, 4), "Enough");
    EXPECT_EQ(text(5 * 16, 4), "Normal");
    EXPECT_EQ(table->item(0, 0)->textAlignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

// "Analyze Selected" analyses the record of the table's current row (any of its nine rows); the
// analysis table has column heads and shows only the abnormal rows on request, judged by the
// decoder: the bypass's "Abnormal" is not coloured, yet it is a fault.
TEST_F(RecordsPagesTest, AnalyzeSelectedAndTheAbnormalOnlyFilter) {
    auto* button = find<QPushButton>("ButtonSCodeAnalyzeSelected");
    auto* grid = find<QTableWidget>("StringGridSCode");
    EXPECT_EQ(button->text(), "Analyze Selected");
    EXPECT_EQ(find<QLabel>("LabelSCodeAnalyzeMore")->text(),
              "Or select a record and click \"Analyze Selected\"; a double-click on its title row fills the box");
    EXPECT_FALSE(button->isEnabled()) << "nothing downloaded";
    connectModel1();
    click("ButtonSCodeDownload");
    ASSERT_TRUE(ups.stepUntil([&] { return !scode->job().running(); }));
    grid->setCurrentCell(20, 0); // past the last record
    EXPECT_FALSE(button->isEnabled());
    grid->setCurrentCell(13, 0); // "A1: ..." of the second record
    ASSERT_TRUE(button->isEnabled());
    click("ButtonSCodeAnalyzeSelected");
    EXPECT_TRUE(find<QPlainTextEdit>("MemoSCodeAnalyze")->toPlainText().startsWith("02 SCode 02#"));
    EXPECT_EQ(find<QPlainTextEdit>("MemoSCodeAnalyze")->toPlainText().split('\n').size(), 9);
    auto* form = window.findChild<QDialog*>("FormSCode");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("SCode解析"));
    auto* table = form->findChild<QTableWidget*>("StringGridSCodeAnalyze");
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->horizontalHeader()->isHidden());
    QStringList heads;
    for (int c = 0; c < table->columnCount(); ++c) heads << table->horizontalHeaderItem(c)->text();
    EXPECT_EQ(heads, QStringList({"No.", "Group", "Word", "Item", "State"}));

    auto* only = form->findChild<QCheckBox*>("CheckSCodeAbnormalOnly");
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(only->text(), "Show abnormal only");
    only->setChecked(true);
    QList<int> shown;
    for (int r = 0; r < table->rowCount(); ++r)
        if (!table->isRowHidden(r)) shown << r;
    // S0 digit 3: bypass "Abnormal"; A0 digit 7: battery temperature "Fault".
    EXPECT_EQ(shown, QList<int>({3, 39}));
    EXPECT_EQ(table->item(3, 4)->text(), "Abnormal");
    EXPECT_EQ(table->rowSpan(32, 1), 1) << "no span hides the group of a shown row";
    EXPECT_EQ(table->item(39, 1)->text(), "A0");
    only->setChecked(false);
    for (int r = 0; r < table->rowCount(); ++r) ASSERT_FALSE(table->isRowHidden(r)) << r;
    EXPECT_EQ(table->rowSpan(32, 1), 16);

    // The double-click on a title row still fills the box.
    find<QPlainTextEdit>("MemoSCodeAnalyze")->clear();
    emit grid->cellDoubleClicked(0, 0);
    EXPECT_TRUE(find<QPlainTextEdit>("MemoSCodeAnalyze")->toPlainText().startsWith("01 SCode 01#"));
}

TEST_F(RecordsPagesTest, AnalysisOfTypedLines) {
    auto* memo = find<QPlainTextEdit>("MemoSCodeAnalyze");
    struct Case {
        const char* memo;
        const char* warning; // empty: the window opens
    };
    const Case cases[] = {
        {"nothing here", "Alarm|Not found SCode"},
        {"S0: 1000-0000-0000-00A0", "Alarm|S0input format not correct or exist too many"},
        {"A1:0A05-0000-0000-0000", "Alarm|A0input format not correct or exist too many"},
        {"A2: 0000-0000-0000-0000\nA2: 0000-0000-0000-0000",
         "Alarm|A2input format not correct or exist too many"},
        {"S0: 3000-0000-0000-0000", ""},
    };
    for (const Case& c : cases) {
        dialogs.warnings.clear();
        memo->setPlainText(c.memo);
        click("ButtonSCodeAnalyze");
        if (*c.warning) {
            EXPECT_EQ(dialogs.warnings, QStringList({c.warning})) << c.memo;
        } else {
            EXPECT_TRUE(dialogs.warnings.isEmpty()) << c.memo;
        }
    }
    auto* table = window.findChild<QDialog*>("FormSCode")->findChild<QTableWidget*>();
    EXPECT_EQ(table->item(0, 4)->text(), "X");
    EXPECT_EQ(table->item(0, 4)->background().color(), QColor(Qt::red));
    EXPECT_EQ(table->item(16, 4)->text(), "?");
    EXPECT_EQ(table->item(16, 4)->background().color(), QColor(128, 128, 128));
}

TEST_F(RecordsPagesTest, SavingSCodesResetsTheCaptionWhileTheDownloadGoesOn) {
    QTemporaryDir dir;
    scodeCount = 30;
    connectModel1();
    click("ButtonSCodeDownload");
    ups.steps(10);
    dialogs.answer = dir.filePath("codes");
    click("ButtonSCodeSave");
    EXPECT_TRUE(QFile::exists(dir.filePath("codes.csv")));
    EXPECT_EQ(find<QPushButton>("ButtonSCodeDownload")->text(), "Download");
    EXPECT_FALSE(find<QProgressBar>("ProgressBarSCode")->isHidden()); // the download goes on
    EXPECT_TRUE(scode->job().running());
    click("ButtonSCodeDownload"); // the next press cancels
    EXPECT_FALSE(scode->job().running());
}

TEST_F(RecordsPagesTest, WheelMovesTheSelectionThreeRows) {
    auto* grid = find<QTableWidget>("StringGridHislog");
    window.resize(800, 600);
    window.show();
    grid->setCurrentCell(1, 0);
    auto wheel = [&](int dy) {
        const QPointF at(10, 10);
        QWheelEvent e(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &e);
    };
    wheel(-120);
    EXPECT_EQ(grid->currentRow(), 4);
    wheel(-120);
    EXPECT_EQ(grid->currentRow(), 7);
    wheel(120);
    wheel(120);
    EXPECT_EQ(grid->currentRow(), 1);
    wheel(120);
    EXPECT_EQ(grid->currentRow(), 1) << "row -2 is not above 0";
    grid->setCurrentCell(997, 0);
    wheel(-120);
    EXPECT_EQ(grid->currentRow(), 997) << "row 1000 is past the end";
}

TEST_F(RecordsPagesTest, ChineseCaptions) {
    history->applyLanguage(0);
    scode->applyLanguage(0);
    EXPECT_EQ(find<QPushButton>("ButtonDownload")->text(), QString::fromUtf8("下载"));
    EXPECT_EQ(find<QPushButton>("ButtonSave")->text(), QString::fromUtf8("保存"));
    EXPECT_EQ(find<QPushButton>("ButtonSave")->toolTip(), QString::fromUtf8("保存历史记录到本地"));
    EXPECT_EQ(find<QPushButton>("ButtonSCodeSave")->toolTip(), QString::fromUtf8("保存维护码到本地文件夹"));
    EXPECT_EQ(find<QPushButton>("ButtonSCodeAnalyze")->text(), QString::fromUtf8("解析"));
    EXPECT_EQ(find<QLabel>("Label90")->text(),
              QString::fromUtf8("如果想要解析S-code，请在上面的输入框中输入S-code并点击 \"解析\" 按钮"));
    EXPECT_EQ(find<QTabWidget>("PageControlSCode")->tabText(0), QString::fromUtf8("维护码下载"));
    EXPECT_TRUE(find<QLabel>("LabelSCodeAnalyzeMore")->text().contains(QString::fromUtf8("双击")));
    EXPECT_EQ(find<QComboBox>("ComboHislogOrder")->itemText(0), QString::fromUtf8("下载顺序"));
}

} // namespace
