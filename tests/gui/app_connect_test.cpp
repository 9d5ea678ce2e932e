// The connection bar: address and port failures, connect and disconnect, the port list refresh,
// the status bar, the button enabling applied to the buttons the pages register, and a real
// connection to the virtual UPS over a pseudo-terminal.

#include "app_fixture.h"

#include "FakeUps.h"
#include "SimulatorThread.h"
#include "app/DemoUps.h"
#include "app/widgets/PageFactory.h"
#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace zav;
using namespace zav::test;

namespace {

const char* const kBarControls[] = {"ComboBoxUpsType", "ComboBoxProto", "EditUpsAddr", "ComboBox1", "ComboBox2"};

class ConnectTest : public ShellTest {
protected:
    void expectBar(bool enabled) {
        for (const char* name : kBarControls) EXPECT_EQ(find<QWidget>(name)->isEnabled(), enabled) << name;
    }
    QPushButton* connectButton() { return find<QPushButton>("ButtonConnect"); }
};

// A page that registers a few action buttons by name, as the real pages do.
class ButtonPage : public ZavPage {
public:
    ButtonPage(AppContext& context, QWidget* parent, QStringList names) : ZavPage(context, parent) {
        auto* layout = new QVBoxLayout(this);
        for (const QString& name : names) {
            auto* b = new QPushButton(name, this);
            b->setObjectName(name);
            layout->addWidget(b);
        }
    }
};

} // namespace

TEST_F(ConnectTest, AddressEditTakesOnlyWhatCanBecomeAnAddressAndSaysTheRange) {
    start(options());
    auto* edit = find<QLineEdit>("EditUpsAddr");
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {{"a300b", "30"}, {"254", "254"}, {"255", "25"}, {"0", ""}, {"12x7", "127"}};
    for (const auto& c : cases) {
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(edit->text(), c.kept) << c.typed;
    }
    EXPECT_EQ(edit->toolTip(), "Address 1 ~ 254");
}

TEST_F(ConnectTest, WrongAddressGivesOneMessageAndOpensNothing) {
    start(options());
    for (const char* address : {"0", "255", "abc", "", "-1", "1.5"}) {
        dialogs.messages.clear();
        find<QLineEdit>("EditUpsAddr")->setText(address);
        QTest::mouseClick(connectButton(), Qt::LeftButton);
        EXPECT_EQ(dialogs.messages, QStringList{"Wrong address!"}) << address;
        EXPECT_EQ(channel.openCount, 0);
        EXPECT_FALSE(channel.isOpen());
        EXPECT_EQ(connectButton()->text(), "Connect");
        expectBar(true);
    }
}

TEST_F(ConnectTest, PortThatCannotBeOpenedLeavesTheBarAsItWas) {
    start(options(prcLocale()));
    channel.failOpen = true;
    QTest::mouseClick(connectButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QStringList{QString::fromUtf8("串口不存在或被其它应用程序占用!")});
    EXPECT_EQ(connectButton()->text(), QString::fromUtf8("连接"));
    expectBar(true);
    EXPECT_TRUE(find<QTimer>("TimerGetComPort")->isActive());
}

TEST_F(ConnectTest, UnopenableRealPort) {
    QtSerialChannel real;
    ShellOptions o = options();
    shell = std::make_unique<AppShell>(real, o);
    window().setPortText("/dev/zav-no-such-port");
    QTest::mouseClick(connectButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs.messages,
              QStringList{"Serial port does not exist or has been occupied by other applications!"});
    EXPECT_FALSE(real.isOpen());
    EXPECT_EQ(connectButton()->text(), "Connect");
    shell.reset();
}

TEST_F(ConnectTest, ConnectDisablesTheBarAndDisconnectRestoresIt) {
    start(options());
    window().setPortText("/dev/pts/42");
    find<QComboBox>("ComboBoxUpsType")->setCurrentIndex(3);
    find<QComboBox>("ComboBox1")->setCurrentIndex(5);
    QTest::mouseClick(connectButton(), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(channel.isOpen());
    EXPECT_EQ(channel.portName(), "/dev/pts/42");
    EXPECT_EQ(channel.baudRate(), 19200);
    EXPECT_EQ(window().scheduler().upsModel(), 2);
    EXPECT_EQ(connectButton()->text(), "Disconnect");
    expectBar(false);
    EXPECT_FALSE(find<QTimer>("TimerGetComPort")->isActive());
    EXPECT_EQ(find<QComboBox>("ComboBoxUpsType")->currentIndex(), 3);

    QTest::mouseClick(connectButton(), Qt::LeftButton);
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(connectButton()->text(), "Connect");
    expectBar(true);
    EXPECT_TRUE(find<QTimer>("TimerGetComPort")->isActive());
}

TEST_F(ConnectTest, PortListRefreshKeepsATypedName) {
    start(options());
    auto* box = find<QComboBox>("ComboBox2");
    window().setPortText("/dev/pts/77");
    ports = {"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB0"};
    window().timerGetComPortTimer();
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentText(), "/dev/pts/77");

    box->setEditText("");
    ports = {"/dev/ttyS1"};
    window().timerGetComPortTimer();
    EXPECT_EQ(box->currentText(), "/dev/ttyS1");

    ports = {};
    box->setEditText("");
    window().timerGetComPortTimer();
    EXPECT_EQ(box->count(), 0);
}

TEST_F(ConnectTest, ButtonsFollowTheLinkAndOpeningPageNineReadsTheSettings) {
    ShellOptions o = options();
    o.pageFactory = [](int index, AppContext& context, QWidget* parent) -> ZavPage* {
        if (index == 7) return new ButtonPage(context, parent, {"ButtonDownload", "ButtonSave"});
        if (index == 9) return new ButtonPage(context, parent, {"ButtonRateSettingSend", "ButtonCfgCodeSet"});
        if (index == 12) return new ButtonPage(context, parent, {"SpeedButtonFaultClr", "SpeedButtonMuteOn"});
        return createPage(index, context, parent);
    };
    start(o);
    auto button = [&](const char* name) { return find<QPushButton>(name); };
    EXPECT_FALSE(button("ButtonRateSettingSend")->isEnabled());
    EXPECT_FALSE(button("SpeedButtonMuteOn")->isEnabled());
    EXPECT_FALSE(button("ButtonDownload")->isEnabled());
    EXPECT_TRUE(button("ButtonSave")->isEnabled());

    FakeUps ups(channel, window().scheduler());
    find<QComboBox>("ComboBoxUpsType")->setCurrentIndex(2);
    find<QComboBox>("ComboBox1")->setCurrentIndex(3);
    QTest::mouseClick(find<QPushButton>("ButtonConnect"), Qt::LeftButton);
    UpsSession& s = window().scheduler();
    ASSERT_TRUE(ups.stepUntil([&] { return s.linkOk() && s.activity() == ActIdle && !s.justConnected(); }));
    ups.step();
    EXPECT_TRUE(button("ButtonRateSettingSend")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonFaultClr")->isEnabled());
    EXPECT_TRUE(button("ButtonDownload")->isEnabled());
    EXPECT_EQ(find<QLabel>("StatusPanel0")->text(), "UPS Connected");
    EXPECT_TRUE(find<QLabel>("ImageConned")->isVisibleTo(&window()));
    EXPECT_FALSE(find<QLabel>("ImageDisConn")->isVisibleTo(&window()));

    // Opening the rated settings page asks for the settings again on the next idle tick.
    ASSERT_TRUE(ups.stepUntil([&] { return s.activity() == ActIdle; }));
    window().showPage(9);
    EXPECT_TRUE(s.justConnected());
    ups.step();
    EXPECT_EQ(s.activity(), ActSettingsDownload);
    EXPECT_FALSE(button("ButtonRateSettingSend")->isEnabled());

    // The UPS falls silent: after the watchdog the link is lost and the buttons go off.
    ups.silent = true;
    ASSERT_TRUE(ups.stepUntil([&] { return !s.linkOk(); }));
    ups.step();
    EXPECT_EQ(find<QLabel>("StatusPanel0")->text(), "UPS not Connected");
    EXPECT_FALSE(button("ButtonRateSettingSend")->isEnabled());
    EXPECT_FALSE(button("SpeedButtonFaultClr")->isEnabled());
    EXPECT_TRUE(find<QLabel>("ImageDisConn")->isVisibleTo(&window()));
}

TEST_F(ConnectTest, ConnectAndDisconnectAgainstTheVirtualUps) {
    sim::SimulatorThread ups;
    QString error;
    ASSERT_TRUE(ups.start(&error)) << error.toStdString();
    QtSerialChannel real;
    shell = std::make_unique<AppShell>(real, options());
    MainWindow& w = window();
    w.setPortText(ups.devicePath());
    QTest::mouseClick(connectButton(), Qt::LeftButton); // model and baud on "Auto"
    ASSERT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(' ').toStdString();
    auto* status = find<QLabel>("StatusPanel0");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == "UPS Connected"; }, 20000));
    // The model is read from the UPS and shown in the box.
    auto* models = find<QComboBox>("ComboBoxUpsType");
    EXPECT_TRUE(QTest::qWaitFor([&] { return models->currentIndex() != 0; }, 20000));
    EXPECT_EQ(models->currentIndex(), 2);
    EXPECT_EQ(find<QComboBox>("ComboBox1")->currentText(), "9600");

    QTest::mouseClick(connectButton(), Qt::LeftButton);
    EXPECT_FALSE(real.isOpen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == "UPS not Connected"; }, 5000));
    EXPECT_EQ(connectButton()->text(), "Connect");
    shell.reset();
    ups.stop();
}

TEST(DemoUps, StartsTheSimulatorProgramAndReportsItsDevice) {
    const QString program = DemoUps::simulatorProgram(QStringLiteral(ZAV_BINARY_DIR));
    if (program.isEmpty()) GTEST_SKIP() << "zav-ups-sim is not built";
    DemoUps demo;
    QString error;
    ASSERT_TRUE(demo.start(program, {}, &error)) << error.toStdString();
    EXPECT_TRUE(demo.devicePath().startsWith("/dev/"));
    EXPECT_TRUE(QFileInfo::exists(demo.devicePath()));
    demo.stop();
    EXPECT_FALSE(demo.running());

    EXPECT_FALSE(demo.start(QStringLiteral("/bin/true"), {}, &error, 2000));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(DemoUps::devicePathIn("serving\n/dev/pts/12\n"), "/dev/pts/12");
}
