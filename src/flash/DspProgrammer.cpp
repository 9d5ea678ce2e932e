#include "flash/DspProgrammer.h"

#include "flash/FlashFile.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>

namespace zav {

using namespace flashlog;

namespace {
constexpr char kLf = 0x0A;
constexpr char kCr = 0x0D;

int hexDigitValue(QChar c) {
    const char a = c.toLatin1();
    if (a >= '0' && a <= '9') return a - '0';
    if (a >= 'A' && a <= 'F') return a - 'A' + 10;
    if (a >= 'a' && a <= 'f') return a - 'a' + 10;
    return 0;
}
} // namespace

int reportedChecksum(const QString& log) {
    const qsizetype at = log.indexOf(QLatin1String("Programming"));
    if (at < 0) return -1;
    static const QLatin1String marker("Checksum = 0x");
    const qsizetype sum = log.indexOf(marker, at);
    if (sum < 0) return -1;
    const QString digits = log.mid(sum + marker.size(), 4);
    if (digits.size() < 4) return -1; // a number cut off by the end of the log proves nothing
    int value = 0;
    for (QChar c : digits) value = value * 16 + hexDigitValue(c);
    return value;
}

QString DspProgrammer::logText() const {
    QString text = lines_.join(QLatin1Char('\n'));
    if (!current_.isEmpty()) {
        if (!text.isEmpty()) text += QLatin1Char('\n');
        text += current_;
    }
    return text;
}

bool DspProgrammer::logHasAny(std::initializer_list<const char*> words) const {
    const QString text = logText();
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return text.contains(QLatin1String(w)); });
}

void DspProgrammer::addLine(const QString& line) {
    lines_.append(line);
    emit logChanged();
}

void DspProgrammer::appendText(const QString& text) {
    if (lines_.isEmpty())
        lines_.append(text);
    else
        lines_.last() += text;
    emit logChanged();
}

void DspProgrammer::setProgress(int value) {
    value = std::clamp(value, 0, 100);
    if (value == progress_) return;
    progress_ = value;
    emit progressChanged(progress_);
}

void DspProgrammer::setPingTimer(bool on) {
    if (on == pingTimerOn_) return;
    pingTimerOn_ = on;
    emit pingTimerSwitched(on);
}

void DspProgrammer::fileChosen(uint16_t checksum) {
    lines_.clear();
    current_.clear();
    lines_ << QString::fromLatin1(kResetTarget) << QString::fromLatin1(kChecksumPrefix) + checksumText(checksum);
    emit logChanged();
}

void DspProgrammer::start(const ProgramRun& run, uint16_t checksum) {
    run_ = run;
    running_ = true;
    baudSwitched_ = false;
    progStage_ = 0;
    bootStage_ = 0;
    pingCount_ = 0;
    idleWatch_ = 1;
    silentAfterSend_ = 0;
    expectedChecksum_ = checksum;
    fileChosen(checksum);
    addLine(QString::fromLatin1(kPinging));
    setPingTimer(true);
}

void DspProgrammer::resetProgramming() {
    pingCount_ = 0;
    apiVersionWatch_ = 0;
    progStage_ = 0;
    bootStage_ = 0;
    baudSwitched_ = false;
    silentAfterSend_ = 0;
    setPingTimer(false);
    setProgress(0);
    running_ = false;
    resetIdleWatch();
    emit runEnded(); // ButtonProgram enabled and Comm1 closed in every case
}

void DspProgrammer::resetIdleWatch() {
    if (running_) return;
    idleWatch_ = 0;
    if (resetButton_) {
        resetButton_ = false;
        emit resetButtonChanged(false);
    }
}

void DspProgrammer::fail(FlashMessage row) {
    resetProgramming();
    emit messageDue(row);
}

void DspProgrammer::cancel() {
    // An application cut off part-way is a failed flash: the log says so.
    if (running_ && progStage_ == ApplicationSent) addLine(QString::fromLatin1(kFailed));
    resetProgramming();
}

void DspProgrammer::portFailed(const QString& reason) {
    if (!running_) return;
    addLine(QString::fromLatin1(kPortError) + reason);
    addLine(QString::fromLatin1(kFailed));
    fail(FlashMessage::Fail);
}

void DspProgrammer::pingTick() {
    if (!pingTimerOn_) return;
    if (pingCount_ >= kMaxPings) {
        appendText(QString::fromLatin1(kNoResponse));
        fail(FlashMessage::NoResponse);
        return;
    }
    if (progStage_ == Unlocked && !baudSwitched_) {
        baudSwitched_ = true;
        emit baudDue(run_.programmingBaud);
    }
    appendText(QString::fromLatin1(kPing));
    emit sendDue(QByteArray(1, 'A'));
    ++pingCount_;
    addProgress(1);
}

void DspProgrammer::secondTick(bool stillSending) {
    for (int* watch : {&kernelWatch_, &apiVersionWatch_, &idleWatch_})
        if (*watch > 0) ++*watch;

    if (kernelWatch_ > 9) {
        kernelWatch_ = 0;
        if (bootStage_ == 1) { // the kernel never led to the second lock
            addLine(QString());
            appendText(QString::fromLatin1(kCheckConfiguration));
            fail(FlashMessage::CheckConfiguration);
        }
    }
    if (apiVersionWatch_ > 10) {
        apiVersionWatch_ = 0;
        if (!logHas("Flash API Version")) {
            addLine(QString::fromLatin1(kConnectFail));
            fail(FlashMessage::CheckConfiguration);
        }
    }
    // The application has left and the kernel says nothing: a pulled cable or a dead target. Such a
    // run must end as failed, not wait for a cancel that leaves the outcome unsaid.
    if (running_ && progStage_ == ApplicationSent) {
        silentAfterSend_ = stillSending ? 0 : silentAfterSend_ + 1;
        if (silentAfterSend_ >= stallSeconds_) {
            addLine(QString::fromLatin1(kTargetSilent));
            addLine(QString::fromLatin1(kFailed));
            fail(FlashMessage::Fail);
        }
    }
    const bool enable = resetButtonEnabled();
    if (enable != resetButton_) {
        resetButton_ = enable;
        emit resetButtonChanged(enable);
    }
}

void DspProgrammer::showByte(uint8_t byte) {
    if (byte == kCr) {
        lines_.append(current_);
        current_.clear();
    } else if (byte != kLf) {
        current_ += QChar::fromLatin1(char(byte));
    }
}

void DspProgrammer::lockChunk(const QByteArray& bytes) {
    qsizetype shownFrom = 0;
    if (bytes.startsWith('A')) {
        if (bootStage_ == 0) {
            addProgress(4);
            setPingTimer(false);
            appendText(QString::fromLatin1(kLocked));
            addLine(QString::fromLatin1(kBootloading));
            bootStage_ = 1;
            kernelWatch_ = 1;
            sendKernel();
        } else if (bootStage_ == 1) {
            addProgress(4);
            setPingTimer(false);
            appendText(QString::fromLatin1(kOk));
            bootStage_ = 2;
            shownFrom = 1; // the kernel's 'A' is not shown
        }
    }
    if (progStage_ >= KernelStarted) {
        for (qsizetype i = shownFrom; i < bytes.size(); ++i) showByte(uint8_t(bytes[i]));
        emit logChanged();
    }
}

void DspProgrammer::onChunk(const QByteArray& bytes) {
    if (!running_) return; // a late chunk after the run ended
    idleWatch_ = 1;
    silentAfterSend_ = 0;
    if (pingTimerOn_) {
        lockChunk(bytes);
    } else {
        for (char c : bytes) {
            if (bootStage_ == 1 && c == kLf) {
                if (progStage_ != KernelStarted && progStage_ != Unlocked && ++progStage_ == kKernelLines) {
                    progStage_ = KernelStarted;
                    addProgress(4);
                    emit sendDue(run_.keys);
                }
            } else if (progStage_ != KernelStarted && progStage_ != Unlocked && bootStage_ != 2) {
                progStage_ = 0;
            }
            if (progStage_ >= KernelStarted) showByte(uint8_t(c));
        }
        emit logChanged();

        if (progStage_ == KernelStarted) {
            if (logHasAny({"OK.", "Connecting", "with"})) {
                progStage_ = Unlocked;
                pingCount_ = 0; // the second lock gets its own 20 pings
                setPingTimer(true);
                addProgress(10);
                apiVersionWatch_ = 1;
            } else if (logHasAny({"Incorrect", "failed", "processor"})) {
                addProgress(10);
                fail(FlashMessage::UnlockFailed);
            }
        }
        if (progStage_ != ApplicationSent && bootStage_ == 2 && logHasAny({"Prog", "ramm"})) {
            progStage_ = ApplicationSent;
            sendApplication();
        }
        if (progStage_ == ApplicationSent) {
            if (logHasAny({"You", "may", "now", "close", "this", "window", "and"}))
                finish();
            else
                addProgress(2);
        }
    }
    // The kernel refuses the image; its own text in the log says why.
    if (progStage_ >= KernelStarted && logHasAny({"NOT VORN", "CAN NOT BE", "PROGRAMMED"})) resetProgramming();
}

void DspProgrammer::sendKernel() {
    if (!run_.kernelImage.isEmpty()) {
        QBuffer image(&run_.kernelImage);
        image.open(QIODevice::ReadOnly);
        for (const QByteArray& block : readFileBlocks(image)) emit sendDue(block);
        return;
    }
    QFile file(run_.kernelPath);
    if (run_.kernelPath.isEmpty() || !file.exists() || !file.open(QIODevice::ReadOnly)) {
        addLine(QStringLiteral(" "));
        addLine(QString::fromLatin1(kNoKernel));
        fail(FlashMessage::NoKernelFile);
        return;
    }
    for (const QByteArray& block : readFileBlocks(file)) emit sendDue(block);
}

void DspProgrammer::sendApplication() {
    QFile path(run_.applicationPath);
    QBuffer checked(&run_.applicationImage);
    QIODevice& file = run_.applicationImage.isEmpty() ? static_cast<QIODevice&>(path) : checked;
    if (!file.open(QIODevice::ReadOnly)) {
        // Nothing can be flashed: say so instead of waiting for a kernel that gets no image.
        addLine(QString::fromLatin1(kNoApplication) + run_.applicationPath);
        addLine(QString::fromLatin1(kFailed));
        fail(FlashMessage::Fail);
        return;
    }
    QByteArray sent;
    for (const QByteArray& block : readFileBlocks(file)) {
        sent += block;
        emit sendDue(swapNibbles67(block));
    }
    // The kernel's checksum is compared with what actually went out, even if the file changed
    // since it was chosen.
    expectedChecksum_ = fileChecksum(sent);
    addProgress(30);
}

void DspProgrammer::finish() {
    const int reported = reportedChecksum(logText());
    if (reported == expectedChecksum_) {
        addLine(QString::fromLatin1(kSuccess));
        setProgress(100);
        resetProgramming();
        emit messageDue(FlashMessage::Pass);
    } else {
        addLine(QString::fromLatin1(kChecksumDiffers));
        addLine(QString::fromLatin1(kFailed));
        setProgress(100);
        fail(FlashMessage::Fail);
    }
}

} // namespace zav
