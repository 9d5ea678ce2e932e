#include "monitor/widgets/HomePage.h"

#include "monitor/widgets/EnergyFlowWidget.h"
#include "monitor/widgets/StatusStrip.h"
#include "session/UpsSession.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zav {

namespace {

// The label names in the order of HomeLabels' members.
constexpr const char* kLabelNames[11] = {"LabelByA",   "LabelByB",   "LabelByC",  "LabelMainA",
                                         "LabelMainB", "LabelMainC", "LabelOutA", "LabelOutB",
                                         "LabelOutC",  "LabelBattP", "LabelBattN"};

QGroupBox* valueBox(const char* name, QLabel** labels, int count, QWidget* parent) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(name);
    auto* column = new QVBoxLayout(box);
    for (int i = 0; i < count; ++i)
        column->addWidget(labels[i]);
    column->addStretch();
    return box;
}

} // namespace

HomePage::HomePage(AppContext& context, QWidget* parent) : MonitorPage(context, parent) {
    setObjectName("TabSheetHome");
    for (int i = 0; i < 11; ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setObjectName(kLabelNames[i]);
    }

    // Reserved for the energy-flow diagram: its wires run from x = 90 to 600, y = 70 to 290.
    flowArea_ = new QWidget(this);
    flowArea_->setObjectName("EnergyFlowArea");
    // The diagram scales with its area (SVG pictures, wires placed by a transform): in a small window
    // it shrinks before the page needs a scroll bar.
    flowArea_->setMinimumSize(280, 110);
    new QVBoxLayout(flowArea_);
    flowArea_->layout()->setContentsMargins(0, 0, 0, 0);
    flowWidget_ = new EnergyFlowWidget(context, flowArea_);
    setEnergyFlowWidget(flowWidget_);

    bypassBox_ = valueBox("GroupBox6", labels_ + 0, 3, this);
    mainBox_ = valueBox("GroupBox5", labels_ + 3, 3, this);
    outputBox_ = valueBox("GroupBoxHomeOut", labels_ + 6, 3, this);
    batteryBox_ = valueBox("GroupBoxHomeBatt", labels_ + 9, 2, this);

    auto* boxes = new QHBoxLayout;
    for (QGroupBox* box : {bypassBox_, mainBox_, outputBox_, batteryBox_})
        boxes->addWidget(box);
    outputOff_ = new QLabel(this);
    outputOff_->setObjectName("LabelOutputOff");
    outputOff_->setStyleSheet("color: #c00000; font-weight: bold;");
    outputOff_->hide();

    strip_ = new StatusStrip(this);

    auto* page = new QVBoxLayout(this);
    page->addWidget(strip_);
    page->addWidget(flowArea_, 1);
    page->addWidget(outputOff_);
    page->addLayout(boxes);

    // Cleared stores read 0 in the supply-source word: only a reported status counts.
    onScheduler(&UpsSession::liveCycleEnded, [this] {
        statusReported_ = context_.scheduler->linkOk();
        // Stores redrawn with the port closed came from a file (Restore Data), not from the UPS.
        offlineFile_ = !context_.scheduler->portOpen();
        refresh();
    });
    onScheduler(&UpsSession::liveStoresCleared, [this] {
        statusReported_ = false;
        offlineFile_ = false;
        refresh();
    });
    onScheduler(&UpsSession::settingsDownloaded, &HomePage::refresh);
    onScheduler(&UpsSession::linkReset, [this] {
        statusReported_ = false;
        offlineFile_ = false;
        refresh();
    });
    onScheduler(&UpsSession::portLost, &HomePage::refresh);
    onScheduler(&UpsSession::linkStateChanged, &HomePage::refreshStatus); // every tick: cheap
    applyLanguage(language());
}

void HomePage::setEnergyFlowWidget(QWidget* widget) {
    widget->setParent(flowArea_);
    flowArea_->layout()->addWidget(widget);
}

void HomePage::applyLanguage(int language) {
    setLanguage(language);
    bypassBox_->setTitle(homeBypassCaption(language));
    outputBox_->setTitle(homeOutputCaption(language));
    outputOff_->setText(homeOutputOffText(language));
    batteryBox_->setTitle(homeBatteryCaption(language));
    flowWidget_->applyLanguage(language); // SetHomeLayout
    strip_->setSummary(strip_->summary(), language);
    refresh();
}

void HomePage::applyModelVariant() {
    const int model = layout().upsModel;
    bypassBox_->setVisible(model < 5);
    mainBox_->setTitle(homeMainCaption(model, language()));
}

void HomePage::refresh() {
    applyModelVariant();
    const HomeLabels h = homeLabels(live(), layout());
    const QString* texts[11] = {&h.byA,  &h.byB,  &h.byC,  &h.mainA, &h.mainB, &h.mainC,
                                &h.outA, &h.outB, &h.outC, &h.battP, &h.battN};
    for (int i = 0; i < 11; ++i)
        labels_[i]->setText(*texts[i]);
    const bool off = homeOutputOff(statusReported_ && context_.scheduler && context_.scheduler->linkOk(),
                                   live().LiveStatus[81]);
    if (outputOff_->isHidden() == off) outputOff_->setVisible(off);
    refreshStatus();
}

void HomePage::refreshStatus() {
    UpsSession* s = context_.scheduler;
    LinkView link;
    if (s) link = {s->connected(), s->portOpen(), s->linkOk(), statusReported_, offlineFile_};
    const UpsSummary summary = summarizeUps(live(), layout(), dataGap(link));
    if (summary == strip_->summary() && flowWidget_->dataGap() == dataGapText(summary.gap, language())) return;
    strip_->setSummary(summary, language());
    flowWidget_->setDataGap(dataGapText(summary.gap, language()));
}

} // namespace zav
