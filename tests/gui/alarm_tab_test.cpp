// The alarm beeper follows the alarm tab's boxes as they stand: unticking an event silences it on
// the next TimerBeeper tick without ButtonOK; ButtonOK makes the choice last in ZAV.ini.

#include "app_fixture.h"

#include "FakeUps.h"
#include "session/UpsSession.h"
#include "monitor/widgets/AlarmBeeper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace zav;
using namespace zav::test;

namespace {

TEST_F(ShellTest, UntickingAnAlarmEventTakesEffectAtOnce) {
    start(options());
    MainWindow& w = window();
    FakeUps ups(channel, w.scheduler());
    ups.registers[83] = 1; // battery connected
    find<QComboBox>("ComboBoxUpsType")->setCurrentIndex(3);
    find<QComboBox>("ComboBox1")->setCurrentIndex(3);
    QTest::mouseClick(find<QPushButton>("ButtonConnect"), Qt::LeftButton);
    ASSERT_TRUE(ups.stepUntil([&] { return w.scheduler().linkOk() && w.scheduler().activity() == ActIdle; }));
    w.showPage(10);
    auto* box = find<QCheckBox>("CheckBoxUtilityAbnormal");
    ASSERT_TRUE(box->isChecked());
    box->setChecked(false); // not confirmed with OK

    ups.registers[88] = 1; // utility failure
    ASSERT_TRUE(ups.stepUntil([&] { return w.scheduler().live().LiveStatus[88] == 1; }));
    ASSERT_TRUE(ups.stepUntil([&] { return w.scheduler().activity() == ActIdle; }));
    auto* beeper = w.findChild<AlarmBeeper*>("btBeeper");
    beeper->timerBeeperTimer();
    EXPECT_EQ(w.findChild<QMessageBox*>("AlarmWarningBox"), nullptr) << "the unticked event still raised its box";
    EXPECT_FALSE(readIni().contains("CheckBoxUtilityAbnormal=0")) << "written without OK";

    // Ticked again: the event raises its box on the next tick; OK keeps the choice in ZAV.ini.
    box->setChecked(true);
    beeper->timerBeeperTimer();
    ASSERT_NE(w.findChild<QMessageBox*>("AlarmWarningBox"), nullptr);
    box->setChecked(false);
    QTest::mouseClick(find<QPushButton>("ButtonOK"), Qt::LeftButton);
    EXPECT_TRUE(readIni().contains("CheckBoxUtilityAbnormal=0"));
}

} // namespace
