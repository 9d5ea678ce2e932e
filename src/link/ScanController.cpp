#include "link/ScanController.h"

#include "foundation/Branding.h"
#include "foundation/LanguageText.h"

#include <algorithm>

namespace zav {

namespace {

// By ScanText, each in CN, EN, CHT.
constexpr Texts3 kTexts[] = {
    {"扫描总线上的UPS", "Scan the bus for UPSes", "掃描匯流排上的UPS"},
    {"扫描...", "Scan...", "掃描..."},
    {"查找所选串口上有哪些地址应答", "Find which addresses answer on the chosen port",
     "查找所選串口上有哪些位址應答"},
    {"请先断开连接：扫描需要独占串口。", "Disconnect first: a scan needs the port to itself.",
     "請先中斷連線：掃描需要獨佔串口。"},
    {"协议", "Protocol", "協定"},
    {"波特率", "Baud", "波特率"},
    {"地址", "Addresses", "位址"},
    {"至", "to", "至"},
    {"两种协议", "Both protocols", "兩種協定"},
    {"全部波特率", "All rates", "全部波特率"},
    {"开始", "Start", "開始"},
    {"取消", "Cancel", "取消"},
    {"使用所选UPS", "Use this UPS", "使用所選UPS"},
    {"关闭", "Close", "關閉"},
    {"地址", "Address", "位址"},
    {"协议", "Protocol", "協定"},
    {"波特率", "Baud", "波特率"},
    {"UPS型号", "UPS Type", "UPS型號"},
    {"选择扫描范围后按\"开始\"。", "Choose what to scan, then Start.", "選擇掃描範圍後按\"開始\"。"},
    {"正在扫描：已询问 %1 / %2，最多还需 %3", "Scanning: %1 of %2 asked, at most %3 left",
     "正在掃描：已詢問 %1 / %2，最多還需 %3"},
    {"扫描完成：%1 台UPS应答。", "Scan finished: %1 UPS(es) answered.", "掃描完成：%1 台UPS應答。"},
    {"扫描已取消：%1 台UPS应答。", "Scan cancelled: %1 UPS(es) answered.", "掃描已取消：%1 台UPS應答。"},
    {"扫描中串口丢失：之前 %1 台UPS应答。", "The serial port was lost during the scan; %1 UPS(es) answered before.",
     "掃描中串口遺失：之前 %1 台UPS應答。"},
    {"串口无法打开：%1", "The serial port cannot be opened: %1", "串口無法開啟：%1"},
    {"请先断开连接：扫描需要独占串口。", "Disconnect first: a scan needs the port to itself.",
     "請先中斷連線：掃描需要獨佔串口。"},
    {"请先选择串口。", "Choose a serial port first.", "請先選擇串口。"},
    {"起始地址不能大于结束地址。", "The first address must not be above the last.", "起始位址不能大於結束位址。"},
    {"扫描254个地址最多需要：%1。无应答的地址要等待应答超时和迟到应答的静默时间，以免迟到的应答被当作下一个地址的应答。",
     "A scan of 254 addresses takes at most: %1. An address that does not answer costs the reply wait "
     "and the quiet wait for a late answer, so that a late answer is never taken for the next address's.",
     "掃描254個位址最多需要：%1。無應答的位址要等待應答逾時和遲到應答的靜默時間，以免遲到的應答被當作下一個位址的應答。"},
    {"无法识别（代码 %1）", "not recognised (code %1)", "無法識別（代碼 %1）"},
    {"（应答太迟）", " (answers too late)", "（應答太遲）"},
    {"选择一行后按\"使用所选UPS\"：连接栏填入其地址、协议和波特率；按\"连接\"才会连接。",
     "Pick a row and \"Use this UPS\": the connection bar takes its address, protocol and baud; Connect connects.",
     "選擇一行後按\"使用所選UPS\"：連接欄填入其位址、協定和波特率；按\"連接\"才會連線。"},
    {"本次扫描最多需要 %1。", "This scan takes at most %1.", "本次掃描最多需要 %1。"},
};
static_assert(std::size(kTexts) == size_t(ScanText::ThisPlan) + 1, "one text per ScanText");

QString protocolName(Protocol p) {
    return p == Protocol::Rtu ? QStringLiteral("MODBUS_RTU") : QStringLiteral("MODBUS_ASCII");
}

} // namespace

QString scanText(ScanText text, int language) {
    return pickText(kTexts[size_t(text)], language);
}

QString scanDurationText(qint64 ms, int language) {
    const qint64 seconds = (ms + 999) / 1000;
    static constexpr Texts3 hm = {"%1小时%2分", "%1 h %2 min", "%1小時%2分"};
    static constexpr Texts3 ms_ = {"%1分%2秒", "%1 min %2 s", "%1分%2秒"};
    static constexpr Texts3 s = {"%1秒", "%1 s", "%1秒"};
    if (seconds >= 3600) return pickText(hm, language).arg(seconds / 3600).arg((seconds % 3600 + 59) / 60);
    if (seconds >= 60) return pickText(ms_, language).arg(seconds / 60).arg(seconds % 60);
    return pickText(s, language).arg(seconds);
}

QString scanPlanText(int language) {
    QStringList parts;
    for (const int baud : kBaudItems)
        parts << QStringLiteral("%1 %2").arg(baud).arg(scanDurationText(AddressScan::durationMs(1, {baud}, 254), language));
    const QVector<int> all(kBaudItems.begin(), kBaudItems.end());
    parts << scanText(ScanText::AllRates, language) + u' ' + scanDurationText(AddressScan::durationMs(1, all, 254), language);
    return scanText(ScanText::PlanTip, language).arg(parts.join(QStringLiteral(", ")));
}

QVector<Protocol> ScanRequest::protocols() const {
    if (bothProtocols) return {Protocol::Ascii, Protocol::Rtu};
    return {protocol};
}

QVector<int> ScanRequest::rates() const {
    if (allRates) return QVector<int>(kBaudItems.begin(), kBaudItems.end());
    return {baud};
}

QVector<int> ScanRequest::addresses() const {
    QVector<int> out;
    for (int a = std::max(firstAddress, kFirstUpsAddress); a <= std::min(lastAddress, kLastUpsAddress); ++a) out << a;
    return out;
}

qint64 ScanController::durationMs(const ScanRequest& request) {
    return AddressScan::durationMs(int(request.protocols().size()), request.rates(), int(request.addresses().size()));
}

ScanController::ScanController(SerialChannel& channel, int language, QObject* parent)
    : QAbstractTableModel(parent), channel_(channel), scan_(channel), language_(language) {
    connect(&scan_, &AddressScan::found, this, &ScanController::onFound);
    connect(&scan_, &AddressScan::progress, this, &ScanController::changed);
    connect(&scan_, &AddressScan::finished, this, &ScanController::onFinished);
}

void ScanController::setLanguage(int language) {
    language_ = language;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
    emit changed();
}

QString ScanController::refusal(const ScanRequest& request) const {
    if (linkConnected_) return scanText(ScanText::RefusedConnected, language_);
    if (request.portName.trimmed().isEmpty()) return scanText(ScanText::RefusedNoPort, language_);
    if (request.firstAddress > request.lastAddress || request.addresses().isEmpty())
        return scanText(ScanText::RefusedRange, language_);
    return {};
}

bool ScanController::start(const ScanRequest& request) {
    if (scan_.running() || !refusal(request).isEmpty()) return false;
    beginResetModel();
    rows_ = 0;
    endResetModel();
    openError_.clear();
    channel_.setPortName(request.portName.trimmed());
    if (!scan_.start(request.protocols(), request.rates(), request.addresses())) {
        openError_ = channel_.errorText();
        state_ = State::OpenFailed;
        emit changed();
        return false;
    }
    state_ = State::Scanning;
    emit changed();
    return true;
}

void ScanController::cancel() {
    scan_.stop();
}

void ScanController::onFound() {
    beginInsertRows({}, rows_, rows_);
    ++rows_;
    endInsertRows();
    emit changed();
}

void ScanController::onFinished() {
    switch (scan_.endReason()) {
    case ScanEnd::Done:
        state_ = State::Finished;
        break;
    case ScanEnd::Stopped:
        state_ = State::Cancelled;
        break;
    case ScanEnd::PortLost:
        state_ = State::PortLost;
        break;
    }
    emit changed();
}

QString ScanController::statusText() const {
    const QString found = QString::number(finds().size());
    switch (state_) {
    case State::Idle:
        return scanText(ScanText::Ready, language_);
    case State::Scanning:
        return scanText(ScanText::Scanning, language_)
            .arg(scan_.done())
            .arg(scan_.total())
            .arg(scanDurationText(scan_.remainingMs(), language_));
    case State::Finished:
        return scanText(ScanText::Finished, language_).arg(found);
    case State::Cancelled:
        return scanText(ScanText::Cancelled, language_).arg(found);
    case State::PortLost:
        return scanText(ScanText::PortLost, language_).arg(found);
    case State::OpenFailed:
        return scanText(ScanText::OpenFailed, language_).arg(openError_);
    }
    return {};
}

ScanPick ScanController::pick(int row) const {
    if (row < 0 || row >= rows_) return {};
    const ScanFind& f = finds()[row];
    const auto rate = std::find(kBaudItems.begin(), kBaudItems.end(), f.baud);
    return {f.address, f.protocol, int(rate - kBaudItems.begin()), f.modelItem};
}

int ScanController::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ScanController::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ScanController::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || role != Qt::DisplayRole) return {};
    const ScanFind& f = finds()[index.row()];
    switch (index.column()) {
    case ColAddress:
        return QString::number(f.address);
    case ColProtocol:
        return protocolName(f.protocol);
    case ColBaud:
        return QString::number(f.baud);
    case ColModel: {
        const QStringList models = brandingModelItems();
        QString name = f.modelItem > 0 && f.modelItem < models.size()
                           ? models[f.modelItem]
                           : scanText(ScanText::NotRecognised, language_).arg(f.modelCode);
        if (f.late) name += scanText(ScanText::AnswersLate, language_);
        return name;
    }
    }
    return {};
}

QVariant ScanController::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static constexpr ScanText heads[ColumnCount] = {ScanText::ColAddress, ScanText::ColProtocol, ScanText::ColBaud,
                                                    ScanText::ColModel};
    return section >= 0 && section < ColumnCount ? scanText(heads[section], language_) : QVariant();
}

} // namespace zav
