// The connection bar's bus scan in the real window on the virtual UPS answering at two addresses:
// the button is offered only while disconnected, a picked row fills the bar without connecting, and
// Connect then reaches the UPS the row named.

#include "app_fixture.h"

#include "SimulatorThread.h"
#include "app/widgets/ScanDialog.h"
#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

using namespace zav;
using namespace zav::test;

namespace {

sim::SimConfig unit(int address, int model) {
    sim::SimConfig c;
    c.address = address;
    c.upsModel = model;
    c.baud = 19200;
    return c;
}

} // namespace

TEST_F(ShellTest, ScanFromTheConnectionBarFillsItAndConnectConnects) {
    sim::SimulatorThread line{QVector<sim::SimConfig>{unit(1, 7), unit(2, 5)}};
    QString error;
    ASSERT_TRUE(line.start(&error)) << error.toStdString();
    QtSerialChannel real;
    const auto closeFirst = qScopeGuard([this] { shell.reset(); }); // the window holds `real`
    shell = std::make_unique<AppShell>(real, options());
    MainWindow& w = window();
    w.show();
    w.setPortText(line.devicePath());
    auto* scanButton = find<QPushButton>("ButtonScan");
    EXPECT_TRUE(scanButton->isEnabled());
    EXPECT_EQ(scanButton->text(), "Scan...");

    scanButton->click();
    auto* dialog = w.findChild<ScanDialog*>("ScanDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    // The bar says ASCII and "Auto": the dialog offers ASCII at every rate; narrow it to one.
    auto* rates = dialog->findChild<QComboBox*>("ScanRates");
    EXPECT_EQ(rates->currentIndex(), rates->count() - 1);
    rates->setCurrentIndex(5); // 19200
    dialog->findChild<QSpinBox*>("ScanLastAddress")->setValue(2);
    dialog->findChild<QPushButton*>("ScanStart")->click();
    EXPECT_TRUE(dialog->controller().running());
    EXPECT_FALSE(dialog->findChild<QPushButton*>("ScanStart")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->controller().running(); }, 60'000));
    auto* table = dialog->findChild<QTableView*>("ScanFinds");
    ASSERT_EQ(table->model()->rowCount(), 2);

    table->selectRow(1);
    dialog->findChild<QPushButton*>("ScanUse")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(find<QLineEdit>("EditUpsAddr")->text(), "2");
    EXPECT_EQ(find<QComboBox>("ComboBoxProto")->currentIndex(), 0);
    EXPECT_EQ(find<QComboBox>("ComboBox1")->currentText(), "19200");
    EXPECT_EQ(find<QComboBox>("ComboBoxUpsType")->currentIndex(), detectModel(6).comboItem);
    EXPECT_FALSE(w.scheduler().connected()) << "a picked row does not connect by itself";
    EXPECT_FALSE(real.isOpen());

    find<QPushButton>("ButtonConnect")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.scheduler().linkOk(); }, 30'000));
    EXPECT_EQ(w.scheduler().upsModel(), 5);
    // Connected: the scan is not offered, and the tip says why.
    EXPECT_FALSE(scanButton->isEnabled());
    EXPECT_EQ(scanButton->toolTip(), "Disconnect first: a scan needs the port to itself.");
    find<QPushButton>("ButtonConnect")->click();
    EXPECT_TRUE(scanButton->isEnabled());
}

// While a scan runs its port is not the link's; closing the dialog mid-scan cancels the scan and
// gives the port back: Connect works at once.
TEST_F(ShellTest, ClosingTheScanDialogReleasesThePort) {
    sim::SimulatorThread line{QVector<sim::SimConfig>{unit(1, 7)}};
    QString error;
    ASSERT_TRUE(line.start(&error)) << error.toStdString();
    QtSerialChannel real;
    const auto closeFirst = qScopeGuard([this] { shell.reset(); }); // the window holds `real`
    shell = std::make_unique<AppShell>(real, options());
    MainWindow& w = window();
    w.show();
    w.setPortText(line.devicePath());
    find<QPushButton>("ButtonScan")->click();
    auto* dialog = w.findChild<ScanDialog*>("ScanDialog");
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QComboBox*>("ScanRates")->setCurrentIndex(5);
    dialog->findChild<QPushButton*>("ScanStart")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->controller().rowCount() == 1; }, 60'000));
    EXPECT_TRUE(real.isOpen());
    // The open port is the scan's: the disconnected link starts no job on it.
    EXPECT_FALSE(w.scheduler().portOpen());
    EXPECT_FALSE(w.scheduler().startSettingsDownloadJob());
    dialog->findChild<QPushButton*>("ScanClose")->click();
    EXPECT_FALSE(dialog->controller().running());
    EXPECT_FALSE(real.isOpen());
    find<QComboBox>("ComboBox1")->setCurrentIndex(5);
    find<QPushButton>("ButtonConnect")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.scheduler().linkOk(); }, 30'000));
    find<QPushButton>("ButtonConnect")->click();
}
