#include "protect/widgets/ShutdownTab.h"

#include "pagekit/WheelStepScroll.h"
#include "protect/ProtectTexts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zav {

namespace {

template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QSpinBox* spin(QWidget* parent, const char* name) {
    auto* box = named(new QSpinBox(parent), name);
    for (const ShutdownRange& r : kShutdownRanges)
        if (qstrcmp(r.name, name) == 0) box->setRange(r.min, r.max);
    box->setMinimumWidth(90);
    return box;
}

} // namespace

ShutdownTab::ShutdownTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ShutdownTab"));
    auto* column = new QVBoxLayout(this);
    auto* scroll = named(new QScrollArea(this), "ScrollBox4");
    scroll->setWidgetResizable(true);
    group_ = named(new QGroupBox, "GroupBoxShutdownSet");
    auto* grid = new QGridLayout(group_);
    int row = 0;

    enable_ = named(new QCheckBox(group_), "CheckBoxShutdownEnable");
    grid->addWidget(enable_, row++, 0, 1, 4);
    saveFile_ = named(new QCheckBox(group_), "CheckBoxSaveFile");
    grid->addWidget(saveFile_, row++, 0, 1, 4);
    runProgram_ = named(new QCheckBox(group_), "CheckBoxRunExProcedure");
    grid->addWidget(runProgram_, row++, 0, 1, 4);
    programLine_ = named(new QLineEdit(group_), "EditRunExProcedureAddr");
    browse_ = named(new QPushButton(group_), "Button9");
    grid->addWidget(programLine_, row, 0, 1, 3);
    grid->addWidget(browse_, row++, 3);
    maxRunLabel_ = named(new QLabel(group_), "LabelMaxRunTime");
    maxRun_ = spin(group_, "SEMaxRunTime");
    grid->addWidget(maxRunLabel_, row, 0, 1, 2);
    grid->addWidget(maxRun_, row++, 2);
    showSaveFile_ = named(new QCheckBox(group_), "CheckBoxShowSaveFile");
    grid->addWidget(showSaveFile_, row++, 0, 1, 4);

    // One block per event: its minutes, then the UPS switch-off box and seconds.
    auto eventRows = [&](QLabel*& title, QLabel*& minutesLabel, QSpinBox*& minutes, QCheckBox*& upsOff,
                         QSpinBox*& upsSeconds, const char* const names[5]) {
        title = named(new QLabel(group_), names[0]);
        grid->addWidget(title, row++, 0, 1, 4);
        minutesLabel = named(new QLabel(group_), names[1]);
        minutes = spin(group_, names[2]);
        grid->addWidget(minutesLabel, row, 1);
        grid->addWidget(minutes, row++, 2);
        upsOff = named(new QCheckBox(group_), names[3]);
        upsSeconds = spin(group_, names[4]);
        grid->addWidget(upsOff, row, 1);
        grid->addWidget(upsSeconds, row++, 2);
        connect(upsOff, &QCheckBox::toggled, this, &ShutdownTab::updateSecondsFields);
    };
    static const char* const kUtility[5] = {"LabelUtilityFail", "LabelUtilityFailShutDelay",
                                            "SEUtilityFailShutDelay", "CheckBoxUtilityFailUpsShutDelay",
                                            "SEUtilityFailUpsShutDelay"};
    static const char* const kBattery[5] = {"LabelBattVoltLow", "LabelBattVoltLowShutDelay",
                                            "SEBattVoltLowShutDelay", "CheckBoxBattVoltLowUpsShutDelay",
                                            "SEBattVoltLowUpsShutDelay"};
    eventRows(utilityLabel_, utilityMinutesLabel_, utilityMinutes_, utilityUpsOff_, utilityUpsSeconds_, kUtility);
    eventRows(batteryLabel_, batteryMinutesLabel_, batteryMinutes_, batteryUpsOff_, batteryUpsSeconds_, kBattery);
    grid->setColumnMinimumWidth(0, 24);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(row, 1);

    scroll->setWidget(group_);
    column->addWidget(scroll, 1);
    set_ = named(new QPushButton(this), "ButtonShutSet");
    auto* bottom = new QHBoxLayout;
    result_ = named(new QLabel(this), "LabelShutSetResult");
    bottom->addWidget(result_, 1);
    bottom->addWidget(set_);
    column->addLayout(bottom);
    WheelStepScroll::install(scroll);

    connect(browse_, &QPushButton::clicked, this, &ShutdownTab::browse);
    connect(set_, &QPushButton::clicked, this, &ShutdownTab::setClicked);
    setConfig(ShutdownConfig{});
    applyLanguage(1);
}

void ShutdownTab::applyLanguage(int language) {
    auto t = [language](ProtectText id) { return protectText(id, language); };
    group_->setTitle(t(ProtectText::GroupShutdownSet));
    enable_->setText(t(ProtectText::ShutdownEnable));
    saveFile_->setText(t(ProtectText::SaveFile));
    runProgram_->setText(t(ProtectText::RunExProcedure));
    browse_->setText(t(ProtectText::Browse));
    showSaveFile_->setText(t(ProtectText::ShowSaveFile));
    maxRunLabel_->setText(t(ProtectText::MaxRunTime));
    utilityLabel_->setText(t(ProtectText::UtilityFail));
    batteryLabel_->setText(t(ProtectText::BattVoltLow));
    for (QLabel* l : {utilityMinutesLabel_, batteryMinutesLabel_}) l->setText(t(ProtectText::ShutDelayMinutes));
    for (QCheckBox* b : {utilityUpsOff_, batteryUpsOff_}) b->setText(t(ProtectText::UpsShutDelaySeconds));
    set_->setText(t(ProtectText::ShutSet));
}

void ShutdownTab::setConfig(const ShutdownConfig& c) {
    enable_->setChecked(c.enabled);
    saveFile_->setChecked(c.saveFiles);
    runProgram_->setChecked(c.runProgram);
    programLine_->setText(c.programLine);
    showSaveFile_->setChecked(c.showSavedFiles);
    utilityMinutes_->setValue(c.utilityMinutes);
    utilityUpsOff_->setChecked(c.utilityUpsOff);
    utilityUpsSeconds_->setValue(c.utilityUpsSeconds);
    batteryMinutes_->setValue(c.batteryMinutes);
    batteryUpsOff_->setChecked(c.batteryUpsOff);
    batteryUpsSeconds_->setValue(c.batteryUpsSeconds);
    maxRun_->setValue(c.maxRunMinutes);
    updateSecondsFields();
}

ShutdownConfig ShutdownTab::config() const {
    ShutdownConfig c;
    c.enabled = enable_->isChecked();
    c.saveFiles = saveFile_->isChecked();
    c.runProgram = runProgram_->isChecked();
    c.programLine = programLine_->text();
    c.showSavedFiles = showSaveFile_->isChecked();
    c.utilityMinutes = utilityMinutes_->value();
    c.utilityUpsOff = utilityUpsOff_->isChecked();
    c.utilityUpsSeconds = utilityUpsSeconds_->value();
    c.batteryMinutes = batteryMinutes_->value();
    c.batteryUpsOff = batteryUpsOff_->isChecked();
    c.batteryUpsSeconds = batteryUpsSeconds_->value();
    c.maxRunMinutes = maxRun_->value();
    return c;
}

bool ShutdownTab::enabledTicked() const { return enable_->isChecked(); }
bool ShutdownTab::utilityUpsTicked() const { return utilityUpsOff_->isChecked(); }
bool ShutdownTab::batteryUpsTicked() const { return batteryUpsOff_->isChecked(); }
void ShutdownTab::setResult(const QString& text) { result_->setText(text); }

bool ShutdownTab::showSavedFilesTicked() const { return showSaveFile_->isChecked(); }
void ShutdownTab::clearEnable() { enable_->setChecked(false); }

void ShutdownTab::updateSecondsFields() {
    // A seconds field counts only while its box is ticked; disabled it is drawn grey.
    utilityUpsSeconds_->setEnabled(utilityUpsOff_->isChecked());
    batteryUpsSeconds_->setEnabled(batteryUpsOff_->isChecked());
}

void ShutdownTab::browse() {
    // Programs here usually carry no extension, so "All" comes first; the dialog does not block.
    auto* dialog = new QFileDialog(this);
    dialog->setObjectName(QStringLiteral("OpenDialogProgram"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({QStringLiteral("All (*)"), QStringLiteral("EXE (*.exe)")});
    connect(dialog, &QFileDialog::fileSelected, programLine_, [this](const QString& file) {
        // A path with blanks stays one word of the command line.
        programLine_->setText(file.contains(u' ') ? u'"' + file + u'"' : file);
    });
    dialog->open();
}

} // namespace zav
