#include "monitor/widgets/StatusStrip.h"

#include "pagekit/FlowLayout.h"

#include <QLabel>

namespace zav {

namespace {

QLabel* valueLabel(const char* name, QWidget* parent, double scale) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    return label;
}

} // namespace

StatusStrip::StatusStrip(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("StatusStrip"));
    setFrameShape(QFrame::StyledPanel);
    state_ = valueLabel("LabelUpsState", this, 1.8);
    QFont bold = state_->font();
    bold.setBold(true);
    state_->setFont(bold);
    state_->setAutoFillBackground(true);
    state_->setContentsMargins(12, 4, 12, 4);
    gap_ = valueLabel("LabelDataGap", this, 1.2);
    charge_ = valueLabel("LabelBatteryCharge", this, 1.4);
    runtime_ = valueLabel("LabelRuntimeLeft", this, 1.4);
    load_ = valueLabel("LabelUpsLoad", this, 1.4);

    // In a narrow window the values wrap onto a second row rather than widen the page.
    auto* row = new FlowLayout(this);
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(state_);
    row->addWidget(gap_);
    row->addWidget(charge_);
    row->addWidget(runtime_);
    row->addWidget(load_);
    setSummary(summary_, 1);
}

QColor StatusStrip::stateColor(UpsPowerState state) {
    switch (state) {
    case UpsPowerState::OnLine: return QColor(0x2e, 0x7d, 0x32);
    case UpsPowerState::OnBattery:
    case UpsPowerState::OnBypass: return QColor(0xe6, 0x8a, 0x00);
    case UpsPowerState::LowBattery:
    case UpsPowerState::OutputOff: return QColor(0xc6, 0x28, 0x28);
    case UpsPowerState::NoData: break;
    }
    return QColor(0x75, 0x75, 0x75);
}

void StatusStrip::setSummary(const UpsSummary& summary, int language) {
    summary_ = summary;
    state_->setText(powerStateText(summary.state, language));
    // A snapshot from a file keeps its state's words, on grey: it is not what the UPS does now.
    const QColor color = summary.gap == DataGap::None ? stateColor(summary.state) : stateColor(UpsPowerState::NoData);
    QPalette palette = state_->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::WindowText, Qt::white);
    state_->setPalette(palette);
    gap_->setText(dataGapText(summary.gap, language));
    gap_->setVisible(summary.gap != DataGap::None);
    const bool values = summary.state != UpsPowerState::NoData;
    charge_->setText(chargeText(summary, language));
    runtime_->setText(runtimeText(summary, language));
    load_->setText(loadText(summary, language));
    for (QLabel* l : {charge_, runtime_, load_}) l->setVisible(values);
    emit summaryShown(summary, language);
}

} // namespace zav
