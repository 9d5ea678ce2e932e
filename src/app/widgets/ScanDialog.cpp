#include "app/widgets/ScanDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace zav {

namespace {
constexpr int kBothProtocolsItem = 2; // after MODBUS_ASCII and MODBUS_RTU
constexpr int kAllRatesItem = int(kBaudItems.size());
} // namespace

ScanDialog::ScanDialog(SerialChannel& channel, int language, QWidget* parent)
    : QDialog(parent), controller_(channel, language, this), language_(language) {
    setObjectName(QStringLiteral("ScanDialog"));
    auto* layout = new QVBoxLayout(this);

    auto* plan = new QGridLayout;
    const auto add = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    protocolLabel_ = add(new QLabel(this), "ScanProtocolLabel");
    protocol_ = add(new QComboBox(this), "ScanProtocol");
    protocol_->addItems({QStringLiteral("MODBUS_ASCII"), QStringLiteral("MODBUS_RTU"), QString()});
    ratesLabel_ = add(new QLabel(this), "ScanRatesLabel");
    rates_ = add(new QComboBox(this), "ScanRates");
    for (const int baud : kBaudItems) rates_->addItem(QString::number(baud));
    rates_->addItem(QString());
    addressesLabel_ = add(new QLabel(this), "ScanAddressesLabel");
    first_ = add(new QSpinBox(this), "ScanFirstAddress");
    last_ = add(new QSpinBox(this), "ScanLastAddress");
    for (QSpinBox* box : {first_, last_}) box->setRange(kFirstUpsAddress, kLastUpsAddress);
    first_->setValue(kFirstUpsAddress);
    last_->setValue(kLastUpsAddress);
    toLabel_ = add(new QLabel(this), "ScanToLabel");
    auto* range = new QHBoxLayout;
    range->addWidget(first_);
    range->addWidget(toLabel_);
    range->addWidget(last_);
    range->addStretch();
    plan->addWidget(protocolLabel_, 0, 0);
    plan->addWidget(protocol_, 0, 1);
    plan->addWidget(ratesLabel_, 1, 0);
    plan->addWidget(rates_, 1, 1);
    plan->addWidget(addressesLabel_, 2, 0);
    plan->addLayout(range, 2, 1);
    plan->setColumnStretch(2, 1);
    layout->addLayout(plan);

    progress_ = add(new QProgressBar(this), "ScanProgress");
    status_ = add(new QLabel(this), "ScanStatus");
    status_->setWordWrap(true);
    layout->addWidget(progress_);
    layout->addWidget(status_);

    table_ = add(new QTableView(this), "ScanFinds");
    table_->setModel(&controller_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    hint_ = add(new QLabel(this), "ScanHint");
    hint_->setWordWrap(true);
    layout->addWidget(hint_);

    auto* buttons = new QHBoxLayout;
    start_ = add(new QPushButton(this), "ScanStart");
    cancel_ = add(new QPushButton(this), "ScanCancel");
    use_ = add(new QPushButton(this), "ScanUse");
    close_ = add(new QPushButton(this), "ScanClose");
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    buttons->addWidget(use_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);

    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &ScanDialog::refresh);
    connect(start_, &QPushButton::clicked, this, &ScanDialog::startScan);
    connect(cancel_, &QPushButton::clicked, &controller_, &ScanController::cancel);
    connect(use_, &QPushButton::clicked, this, &ScanDialog::usePicked);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableView::doubleClicked, this, &ScanDialog::usePicked);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ScanDialog::refresh);
    connect(&controller_, &ScanController::changed, this, &ScanDialog::refresh);
    for (QComboBox* box : {protocol_, rates_})
        connect(box, &QComboBox::currentIndexChanged, this, &ScanDialog::refresh);
    for (QSpinBox* box : {first_, last_}) connect(box, &QSpinBox::valueChanged, this, &ScanDialog::refresh);
    retranslate();
    resize(560, 420);
}

void ScanDialog::prepare(const QString& portName, int protocolItem, int baudItem) {
    portName_ = portName;
    protocol_->setCurrentIndex(protocolItem == 1 ? 1 : 0);
    // "Auto" tries every rate: so does the scan, unless the user narrows it.
    rates_->setCurrentIndex(baudItem >= 0 && baudItem < kAllRatesItem ? baudItem : kAllRatesItem);
    refresh();
}

void ScanDialog::setLanguage(int language) {
    language_ = language;
    controller_.setLanguage(language);
    retranslate();
}

ScanRequest ScanDialog::request() const {
    ScanRequest r;
    r.portName = portName_;
    r.bothProtocols = protocol_->currentIndex() == kBothProtocolsItem;
    r.protocol = protocol_->currentIndex() == 1 ? Protocol::Rtu : Protocol::Ascii;
    r.allRates = rates_->currentIndex() == kAllRatesItem;
    r.baud = kBaudItems[size_t(r.allRates ? 0 : rates_->currentIndex())];
    r.firstAddress = first_->value();
    r.lastAddress = last_->value();
    return r;
}

void ScanDialog::startScan() {
    controller_.start(request());
    refresh();
}

void ScanDialog::usePicked() {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    const ScanPick pick = controller_.pick(rows.first().row());
    controller_.cancel();
    emit picked(pick);
    accept();
}

void ScanDialog::done(int result) {
    controller_.cancel(); // the port is the link's again
    clock_->stop();
    QDialog::done(result);
}

void ScanDialog::refresh() {
    const bool running = controller_.running();
    const ScanRequest r = request();
    const QString refusal = controller_.refusal(r);
    for (QWidget* w : std::initializer_list<QWidget*>{protocol_, rates_, first_, last_}) w->setEnabled(!running);
    start_->setEnabled(!running && refusal.isEmpty());
    cancel_->setEnabled(running);
    use_->setEnabled(table_->selectionModel()->hasSelection());
    progress_->setRange(0, std::max(1, controller_.total()));
    progress_->setValue(controller_.done());
    if (running) {
        if (!clock_->isActive()) clock_->start();
        status_->setText(controller_.statusText());
    } else {
        clock_->stop();
        if (controller_.state() != ScanController::State::Idle)
            status_->setText(controller_.statusText());
        else if (!refusal.isEmpty())
            status_->setText(refusal);
        else
            status_->setText(scanText(ScanText::Ready, language_) + u' ' +
                             scanText(ScanText::ThisPlan, language_)
                                 .arg(scanDurationText(ScanController::durationMs(r), language_)));
    }
}

void ScanDialog::retranslate() {
    setWindowTitle(scanText(ScanText::Title, language_));
    protocolLabel_->setText(scanText(ScanText::ProtocolLabel, language_));
    ratesLabel_->setText(scanText(ScanText::RatesLabel, language_));
    addressesLabel_->setText(scanText(ScanText::AddressesLabel, language_));
    toLabel_->setText(scanText(ScanText::AddressTo, language_));
    protocol_->setItemText(kBothProtocolsItem, scanText(ScanText::BothProtocols, language_));
    rates_->setItemText(kAllRatesItem, scanText(ScanText::AllRates, language_));
    const QString plan = scanPlanText(language_);
    for (QWidget* w : std::initializer_list<QWidget*>{rates_, start_}) w->setToolTip(plan);
    hint_->setText(scanText(ScanText::PickHint, language_));
    start_->setText(scanText(ScanText::Start, language_));
    cancel_->setText(scanText(ScanText::Cancel, language_));
    use_->setText(scanText(ScanText::Use, language_));
    close_->setText(scanText(ScanText::Close, language_));
    refresh();
}

} // namespace zav
