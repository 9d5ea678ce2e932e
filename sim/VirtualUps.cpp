#include "VirtualUps.h"

#include <algorithm>

namespace zav::sim {

namespace {
constexpr qint64 kRtuGapMs = 100; // a pause this long ends any partial RTU frame
constexpr int kMaxReadRegisters = 125;

uint16_t get16(const QByteArray& pdu, int at) {
    return uint16_t(uint8_t(pdu[at]) << 8 | uint8_t(pdu[at + 1]));
}
void put16(QByteArray& out, uint16_t v) {
    out.append(char(v >> 8));
    out.append(char(v & 0xFF));
}
bool hasHistory(const UpsProfile& p) {
    return p.upsModel <= 7;
}
bool hasSCodes(const UpsProfile& p) {
    return p.upsModel <= 4;
}

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}
} // namespace

QByteArray exceptionPdu(uint8_t address, uint8_t function, ModbusError error) {
    QByteArray out;
    out.append(char(address));
    out.append(char(function | 0x80));
    out.append(char(error));
    return out;
}

VirtualUps::VirtualUps(const SimConfig& config)
    : config_(config), profile_(profileFor(config.upsModel)),
      clock_(config.clockStart.isValid() ? config.clockStart : QDateTime(QDate(2024, 6, 1), QTime(8, 0))),
      framer_(config.protocol) {
    settings_ = std::make_unique<SettingsBank>(profile_, clock_);
    PlantListener& listener = *this; // private base: converted here, where it is accessible
    plant_ = std::make_unique<UpsPlant>(profile_, *settings_, listener);
    if (config.modelCode >= 0) plant_->setModelCode(config.modelCode);
    if (config.modules >= 0) {
        const int slotCount = isModular(profile_) ? profile_.moduleSlots : 10;
        for (int u = 1; u <= slotCount; ++u)
            plant_->setUnitPresent(u, u <= config.modules);
    }
    plant_->setLoadPercent(config.loadPercent);
    plant_->setRestoreDelay(qint64(config.restoreDelaySeconds) * 1000);
    history_.clear(); // the set-up is not an event; the log gets its past below
    seedLogs();
    lastSCode_ = plant_->scodeWords();
}

// ---- time and scenario ----

void VirtualUps::advanceTo(qint64 ms) {
    while (!pending_.isEmpty() && pending_.first().atMs <= ms) {
        const ScenarioEvent e = pending_.takeFirst();
        const qint64 at = std::max(e.atMs, nowMs_);
        plant_->advanceTo(at);
        clock_.advanceTo(at);
        nowMs_ = at;
        apply(e);
    }
    // Whole seconds, so that a change that comes and goes inside a long step still leaves its code.
    while (nowMs_ < ms) {
        nowMs_ = std::min(ms, nowMs_ + 1000);
        plant_->advanceTo(nowMs_);
        clock_.advanceTo(nowMs_);
        checkSCodeTrigger();
    }
}

void VirtualUps::schedule(const Scenario& scenario, qint64 offsetMs) {
    const qint64 offset = offsetMs < 0 ? nowMs_ : offsetMs;
    for (ScenarioEvent e : scenario.events) {
        e.atMs += offset;
        const auto at = std::upper_bound(pending_.begin(), pending_.end(), e.atMs,
                                         [](qint64 t, const ScenarioEvent& x) { return t < x.atMs; });
        pending_.insert(at, e);
    }
}

void VirtualUps::apply(const ScenarioEvent& e) {
    const qint64 until = e.durationMs == kForever ? kForever : nowMs_ + e.durationMs;
    UpsPlant& p = *plant_;
    switch (e.kind) {
    case EventKind::UtilityFail:
        p.setUtility(false);
        break;
    case EventKind::UtilityRestore:
        p.setUtility(true);
        break;
    case EventKind::BypassFail:
        p.setBypass(false);
        break;
    case EventKind::BypassRestore:
        p.setBypass(true);
        break;
    case EventKind::BatteryLow:
        p.setCapacity(std::min(p.capacity(), 15.0));
        break;
    case EventKind::BatteryCapacity:
        p.setCapacity(e.number);
        break;
    case EventKind::BatteryDisconnect:
        p.setBatteryConnected(false);
        break;
    case EventKind::BatteryConnect:
        p.setBatteryConnected(true);
        break;
    case EventKind::Load:
        p.setLoadPercent(e.number);
        break;
    case EventKind::ModuleRemove:
        p.setUnitPresent(e.number, false);
        break;
    case EventKind::ModuleInsert:
        p.setUnitPresent(e.number, true);
        break;
    case EventKind::ModuleFault:
        p.setUnitFault(e.number, e.item, true);
        break;
    case EventKind::ModuleClear:
        for (int item = 1; item <= 33; ++item)
            p.setUnitFault(e.number, item, false);
        break;
    case EventKind::Epo:
        p.setEpo(true);
        break;
    case EventKind::EpoClear:
        p.setEpo(false);
        break;
    case EventKind::SwitchOn:
        p.switchOn();
        break;
    case EventKind::Silent:
        faults_.silenceUntil(until);
        break;
    case EventKind::Fault:
        faults_.add(e.fault, e.every, until);
        break;
    case EventKind::Delay:
        faults_.setDelay(e.delayMs, until);
        break;
    case EventKind::FaultsClear:
        faults_.clear();
        break;
    case EventKind::Baud:
        config_.baud = e.number;
        framer_.reset();
        break;
    case EventKind::ModelCode:
        p.setModelCode(e.number);
        break;
    }
    log(QString("%1 ms: %2").arg(nowMs_).arg(e.text.isEmpty() ? QString("event") : e.text));
    checkSCodeTrigger();
}

// ---- the line ----

QList<Outgoing> VirtualUps::receive(const QByteArray& bytes, int lineBaud) {
    QList<Outgoing> out;
    if (lineBaud > 0 && (stats_.lineRates.isEmpty() || stats_.lineRates.last() != lineBaud))
        stats_.lineRates.append(lineBaud);
    if (faults_.silentAt(nowMs_)) {
        ++stats_.unheard;
        framer_.reset();
        return out;
    }
    if (lineBaud > 0 && lineBaud != config_.baud) {
        // At another rate the UART sees framing errors and noise, never a frame.
        ++stats_.wrongBaud;
        framer_.reset();
        log(QString("line at %1 baud, UPS at %2: not understood").arg(lineBaud).arg(config_.baud));
        if (config_.mismatch == BaudMismatch::Garbage)
            out.append({noise(int(std::max<qsizetype>(1, bytes.size() / 2)), noiseSeed_++), 0});
        return out;
    }
    if (logo_.takes(bytes, nowMs_)) {
        const QByteArray reply = logo_.receive(bytes, nowMs_);
        if (!reply.isEmpty()) out.append({reply, 0});
        log("logo frame bytes " + QString::number(bytes.size()) + " -> " + hex(reply));
        return out;
    }
    if (config_.protocol == Protocol::Rtu && lastRxMs_ >= 0 && nowMs_ - lastRxMs_ > kRtuGapMs)
        framer_.reset();
    lastRxMs_ = nowMs_;

    for (const QByteArray& raw : framer_.push(bytes)) {
        ++stats_.frames;
        const auto pdu = checkedPdu(config_.protocol, raw);
        if (!pdu) {
            ++stats_.badCheck;
            log("ignored, bad check: " + hex(raw));
            continue;
        }
        const uint8_t address = uint8_t((*pdu)[0]);
        if (address != config_.address && address != 0) {
            ++stats_.otherAddress;
            continue;
        }
        const FaultDecision d = faults_.decide(nowMs_);
        const QByteArray reply =
            d.exception ? exceptionPdu(address, uint8_t((*pdu)[1]), ModbusError::Busy) : answer(*pdu);
        log("request " + hex(*pdu) + " -> " + (reply.isEmpty() ? QString("no reply") : hex(reply)));
        if (address == 0 || reply.isEmpty()) continue; // a broadcast is never answered
        ++stats_.replies;
        if (uint8_t(reply[1]) & 0x80) ++stats_.exceptions;
        out.append({damageReply(config_.protocol, reply, d, noiseSeed_++), d.delayMs});
    }
    return out;
}

// ---- functions ----

QByteArray VirtualUps::answer(const QByteArray& pdu) {
    if (pdu.size() < 2) return {};
    const uint8_t address = uint8_t(pdu[0]), function = uint8_t(pdu[1]);
    QByteArray reply;
    switch (function) {
    case fn::ReadHolding:
        reply = blockRead(pdu, 1, 80, plant_->measurements());
        break;
    case fn::ReadInput:
        if (pdu.size() >= 4 && get16(pdu, 2) >= 3071)
            reply = blockRead(pdu, 3071, 3190, plant_->moduleStatus());
        else
            reply = blockRead(pdu, 81, 240, plant_->status());
        break;
    case fn::ReadSettings: {
        RegisterStore words(kFirstSetting, kLastSetting);
        for (int reg = kFirstSetting; reg <= kLastSetting; ++reg)
            words.set(reg, settings_->value(reg));
        reply = blockRead(pdu, kFirstSetting, kLastSetting, words);
        break;
    }
    case fn::ReadModule: {
        if (pdu.size() != 9) return exceptionPdu(address, function, ModbusError::IllegalValue);
        const int module = get16(pdu, 7);
        if (module < 1 || module > kMaxUnits)
            return exceptionPdu(address, function, ModbusError::IllegalAddress);
        reply = blockRead(pdu.left(6), 2000, 2152, plant_->moduleData(module));
        break;
    }
    case fn::ReadHistory:
    case fn::ReadSCode:
        reply = recordRead(pdu);
        break;
    case fn::WriteMultiple:
        reply = writeRegisters(pdu);
        break;
    case fn::ControlCommand:
        reply = controlCommand(pdu);
        break;
    default:
        reply = exceptionPdu(address, function, ModbusError::IllegalFunction);
        break;
    }
    checkSCodeTrigger();
    return reply;
}

QByteArray VirtualUps::blockRead(const QByteArray& pdu, int first, int last, const RegisterStore& source) {
    const uint8_t address = uint8_t(pdu[0]), function = uint8_t(pdu[1]);
    if (pdu.size() != 6) return exceptionPdu(address, function, ModbusError::IllegalValue);
    const int start = get16(pdu, 2), count = get16(pdu, 4);
    if (count < 1 || count > kMaxReadRegisters)
        return exceptionPdu(address, function, ModbusError::IllegalValue);
    if (start < first || start + count - 1 > last)
        return exceptionPdu(address, function, ModbusError::IllegalAddress);
    QByteArray out;
    out.append(char(address));
    out.append(char(function));
    out.append(char(2 * count));
    for (int reg = start; reg < start + count; ++reg)
        put16(out, source.value(reg));
    return out;
}

QByteArray VirtualUps::recordRead(const QByteArray& pdu) {
    const uint8_t address = uint8_t(pdu[0]), function = uint8_t(pdu[1]);
    const bool history = function == fn::ReadHistory;
    if (history ? !hasHistory(profile_) : !hasSCodes(profile_))
        return exceptionPdu(address, function, ModbusError::IllegalFunction);
    if (pdu.size() != 6 || get16(pdu, 4) != (history ? 5 : 36))
        return exceptionPdu(address, function, ModbusError::IllegalValue);
    const int index = get16(pdu, 2);
    // Past the end of the log: the download stops on this exception.
    if (!(history ? history_.contains(index) : scodes_.contains(index)))
        return exceptionPdu(address, function, ModbusError::IllegalAddress);
    QByteArray out;
    out.append(char(address));
    out.append(char(function));
    if (history) {
        out.append(char(10));
        for (uint8_t b : encodeHistoryRecord(profile_, history_.at(index)))
            out.append(char(b));
        put16(out, uint16_t(history_.count()));
    } else {
        out.append(char(72));
        for (uint8_t b : encodeSCodeRecord(scodes_.at(index), scodes_.count()))
            out.append(char(b));
    }
    return out;
}

QByteArray VirtualUps::writeRegisters(const QByteArray& pdu) {
    const uint8_t address = uint8_t(pdu[0]), function = uint8_t(pdu[1]);
    if (pdu.size() < 7) return exceptionPdu(address, function, ModbusError::IllegalValue);
    const int reg = get16(pdu, 2), quantity = get16(pdu, 4), bytes = uint8_t(pdu[6]);
    if (quantity < 1 || quantity > 123 || bytes != 2 * quantity || pdu.size() != 7 + bytes)
        return exceptionPdu(address, function, ModbusError::IllegalValue);
    // Registers are stored one after the other; the first refused one ends the write.
    for (int i = 0; i < quantity; ++i) {
        const ModbusError e = settings_->write(reg + i, get16(pdu, 7 + 2 * i));
        if (e != ModbusError::None) return exceptionPdu(address, function, e);
    }
    return pdu.left(6);
}

QByteArray VirtualUps::controlCommand(const QByteArray& pdu) {
    const uint8_t address = uint8_t(pdu[0]), function = uint8_t(pdu[1]);
    if (pdu.size() != 9 || get16(pdu, 4) != 1 || uint8_t(pdu[6]) != 2)
        return exceptionPdu(address, function, ModbusError::IllegalValue);
    const ModbusError e = plant_->command(get16(pdu, 2), get16(pdu, 7));
    if (e != ModbusError::None) return exceptionPdu(address, function, e);
    if (get16(pdu, 2) == 357 && get16(pdu, 7) == 1) {
        logo_.activate(nowMs_); // the next bytes are logo frames
        framer_.reset();
    }
    return pdu.left(6);
}

// ---- logs ----

void VirtualUps::historyEvent(int code, int action, int unit) {
    clock_.advanceTo(plant_->now());
    history_.append(HistoryEvent{code, action, unit, clock_.now(), plant_->runningSeconds()});
    lastEventUnit_ = unit;
    log(QString("%1 ms: history event %2 action %3 unit %4")
            .arg(plant_->now())
            .arg(code)
            .arg(action)
            .arg(unit));
}

void VirtualUps::clearLogs(bool history, bool scodes) {
    if (history) history_.clear();
    if (scodes) scodes_.clear();
}

void VirtualUps::checkSCodeTrigger() {
    if (!hasSCodes(profile_)) return;
    const auto words = plant_->scodeWords();
    bool trigger = false;
    for (int g = 0; g < 8 && !trigger; ++g) {
        const uint16_t mask = settings_->value(361 + g);
        for (int d = 0; d < 16; ++d) {
            // Mask bit 15 selects digit 0, as the digits read from left to right.
            if ((mask >> (15 - d) & 1) && scodeDigit(words, g, d) != scodeDigit(lastSCode_, g, d)) {
                trigger = true;
                break;
            }
        }
    }
    lastSCode_ = words;
    if (trigger) scodes_.append(SCodeRecord{lastEventUnit_, clock_.now(), words});
}

void VirtualUps::seedLogs() {
    struct Step {
        int code, action, unit, minutesAfter;
    };
    using namespace event;
    const bool modular = isModular(profile_);
    const int someUnit = modular ? std::min(2, std::max(1, plant_->unitsPresent())) : 0;
    const QVector<QVector<Step>> stories = {
        {{UtilityAbnormal, 1, 0, 0},
         {BatteryDischarge, 1, 0, 0},
         {UtilityAbnormal, 0, 0, 4},
         {BatteryDischarge, 0, 0, 0},
         {BatteryBoost, 1, 0, 0},
         {BatteryFloat, 1, 0, 180}},
        {{BatteryTest, 1, 0, 0}, {BatteryTestOk, 1, 0, 1}},
        {{ManualTransferBypass, 1, 0, 0},
         {LoadOnBypass, 1, 0, 0},
         {EscManualBypass, 1, 0, 15},
         {LoadOnUps, 1, 0, 0}},
        {{53 /* fan fail */, 1, someUnit, 0}, {53, 0, someUnit, 30}, {FaultClear, 1, 0, 2}},
        {{BypassVoltAbnormal, 1, 0, 0}, {BypassVoltAbnormal, 0, 0, 2}},
        {{OutputOverload, 1, 0, 0}, {OutputOverload, 0, 0, 1}},
        {{ModuleExit, 1, someUnit, 0}, {ModuleInserted, 1, someUnit, 20}},
    };
    QVector<Step> steps = {{LoadOnUps, 1, 0, 0}, {BatteryFloat, 1, 0, 0}};
    if (modular)
        for (int u = 1; u <= kMaxUnits; ++u)
            if (plant_->unit(u).present) steps.append({ModuleInserted, 1, u, 0});
    for (int k = 0; steps.size() < config_.historyEvents; ++k) {
        const QVector<Step>& story = stories[k % stories.size()];
        if (!modular && &story == &stories.last()) continue;
        for (int i = 0; i < story.size(); ++i) {
            Step s = story[i];
            if (i == 0) s.minutesAfter = 9 * 60 + (k * 37) % 300; // stories hours apart
            steps.append(s);
        }
    }
    steps.resize(std::max(0, config_.historyEvents));
    qint64 total = 0;
    for (const Step& s : steps)
        total += s.minutesAfter;
    const QDateTime start = clock_.now();
    const qint64 running = plant_->runningSeconds();
    qint64 minutes = -total - 10; // the last one ten minutes before the start
    if (hasHistory(profile_)) {
        for (const Step& s : steps) {
            minutes += s.minutesAfter;
            history_.append(HistoryEvent{s.code, s.action, s.unit, start.addSecs(minutes * 60),
                                         uint32_t(std::max<qint64>(0, running + minutes * 60))});
        }
    }
    if (!hasSCodes(profile_)) return;
    // Maintenance codes: the normal state and a few disturbances, two days apart.
    const auto normal = plant_->scodeWords();
    for (int k = 0; k < config_.scodeRecords; ++k) {
        auto w = normal;
        int unit = 0;
        switch (k % 5) {
        case 0: // utility failure, on battery
            setSCodeDigit(w, 0, 4, 4);
            setSCodeDigit(w, 2, 1, 1);
            for (int d = 9; d < 12; ++d)
                setSCodeDigit(w, 2, d, 1);
            break;
        case 1:
            setSCodeDigit(w, 0, 4, 1);
            break; // boost charge after it
        case 2:
            setSCodeDigit(w, 7, 2, 1);
            break; // battery test passed
        case 3:
            setSCodeDigit(w, 4, 1, 1);
            unit = someUnit;
            break; // fan failure
        case 4:    // bypass out of range
            setSCodeDigit(w, 0, 3, 0);
            setSCodeDigit(w, 2, 4, 1);
            setSCodeDigit(w, 5, 6, 1);
            break;
        }
        scodes_.append(SCodeRecord{unit, start.addSecs(-qint64(config_.scodeRecords - k) * 2 * 86400), w});
    }
}

} // namespace zav::sim
