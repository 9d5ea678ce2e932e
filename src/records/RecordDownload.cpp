#include "records/RecordDownload.h"

#include "records/RecordDecode.h"
#include "records/RecordTexts.h"

#include <algorithm>

namespace zav {

namespace {

constexpr RecordDownload::Kind kHistoryKind{fn::ReadHistory, 5, 10, ActHistory, 900, 10, true};
constexpr RecordDownload::Kind kSCodeKind{fn::ReadSCode, 36, 72, ActSCode, 100, 5, false};

template <size_t N> std::array<uint8_t, N> recordBytes(const QByteArray& data) {
    std::array<uint8_t, N> r{};
    std::copy_n(reinterpret_cast<const uint8_t*>(data.constData()), std::min<size_t>(N, size_t(data.size())),
                r.begin());
    return r;
}

} // namespace

RecordDownload::RecordDownload(const Kind& kind, int columns, QObject* parent)
    : QObject(parent), grid_(columns, kRecordGridRows), kind_(kind) {}

void RecordDownload::start() {
    grid_ = TextGrid(grid_.columns(), grid_.rows());
    writeTitles();
    total_ = kind_.startTotal;
    index_ = 1;
    failCount_ = 0;
    recordsRead_ = 0;
    unanswered_ = 0;
    state_ = JobRequestDue;
    emit rowsChanged(0, grid_.rows());
    emit progressChanged(0);
}

void RecordDownload::cancel() {
    state_ = JobIdle;
    total_ = 0;
    index_ = 0;
    emit progressChanged(0);
}

bool RecordDownload::loadGrid(const TextGrid& from) {
    if (running()) return false;
    for (int r = 0; r < grid_.rows(); ++r)
        for (int c = 0; c < grid_.columns(); ++c) grid_.set(c, r, from.at(c, r));
    emit rowsChanged(0, grid_.rows());
    return true;
}

void RecordDownload::reset() {
    state_ = JobIdle;
    index_ = 0;
    total_ = 0;
    failCount_ = 0;
}

const char* RecordDownload::name() const {
    return kind_.function == fn::ReadHistory ? "history download" : "S-code download";
}

void RecordDownload::abandon(const QString& reason) {
    Q_UNUSED(reason);
    cancel();
}

void RecordDownload::serveRequest(LinkIo& io) {
    if (index_ > total_) {
        state_ = JobIdle;
        index_ = 0;
        io.setActivity(ActIdle);
        emit finished();
        return;
    }
    emit progressChanged(total_ > 0 ? int(qint64(index_) * 100 / total_) : 0);
    io.send(recordRequest(io.protocol(), io.address(), kind_.function, uint16_t(index_), kind_.registers));
    state_ = JobReplyDue;
}

void RecordDownload::serveReply(LinkIo& io) {
    const QByteArray raw = io.receive(recordReplyLength(io.protocol(), kind_.dataBytes));
    const RecordReply reply =
        examineRecordReply(io.protocol(), raw, io.address(), kind_.function, kind_.dataBytes);
    state_ = JobRequestDue;
    switch (reply.outcome) {
    case RecordOutcome::Accepted:
        io.setLinkOk(true);
        total_ = totalFrom(reply.data);
        decode(index_, reply.data, io.upsModel());
        ++index_;
        ++recordsRead_;
        failCount_ = 0;
        unanswered_ = 0;
        return;
    case RecordOutcome::Ignored: // asked again without counting
        ++unanswered_;
        return;
    case RecordOutcome::EndOfLog:
        unusable(io);
        index_ = total_ + 1; // the next tick ends the download
        return;
    case RecordOutcome::Busy:
    case RecordOutcome::Unusable:
        unusable(io);
        return;
    }
}

void RecordDownload::unusable(LinkIo& io) {
    ++unanswered_;
    if (++failCount_ > kind_.failLimit) {
        failCount_ = 0;
        if (kind_.failLosesLink) io.setLinkOk(false);
    }
}

// ---- history ----

HistoryDownload::HistoryDownload(const RegisterStore* settingData, QObject* parent)
    : RecordDownload(kHistoryKind, kHistoryColumns, parent), settingData_(settingData) {}

void HistoryDownload::writeTitles() {
    rowsModel_ = -1; // a new download starts on an empty grid
    for (int c = 0; c < kHistoryColumns; ++c)
        grid_.set(c, 0, historyHeaderText(c, language()));
}

int HistoryDownload::totalFrom(const QByteArray& data) const {
    return uint8_t(data[8]) << 8 | uint8_t(data[9]);
}

void HistoryDownload::decode(int number, const QByteArray& data, int upsModel) {
    if (number >= grid_.rows()) return; // read, but the grid has no row for it
    const bool unitAfterName = settingData_ && (settingData_->value(329) & 0x10);
    rowsModel_ = upsModel;
    const QStringList cells =
        historyRowCells(number, recordBytes<8>(data), upsModel, language(), unitAfterName);
    for (int c = 0; c < cells.size(); ++c)
        grid_.set(c, number, cells[c]);
    emit rowsChanged(number, 1);
}

// ---- S-codes ----

SCodeDownload::SCodeDownload(QObject* parent) : RecordDownload(kSCodeKind, 1, parent) {}

int SCodeDownload::totalFrom(const QByteArray& data) const {
    return uint8_t(data[0]);
}

void SCodeDownload::decode(int number, const QByteArray& data, int upsModel) {
    Q_UNUSED(upsModel);
    const int base = kSCodeRowsPerRecord * (number - 1);
    if (base >= grid_.rows()) return;
    const QStringList rows = scodeRowTexts(number, recordBytes<72>(data));
    for (int i = 0; i < rows.size(); ++i)
        grid_.set(0, base + i, rows[i]); // rows past the end of the grid are not kept
    emit rowsChanged(base, std::min(kSCodeRowsPerRecord, grid_.rows() - base));
}

} // namespace zav
