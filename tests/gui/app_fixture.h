#pragma once
// The application shell on a fake serial channel with a ZAV.ini in a temporary folder, message boxes
// that are recorded and answered by the test, and a chosen system locale.

#include "FakeSerialChannel.h"
#include "app/widgets/AppShell.h"
#include "pagekit/UserDialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace zav::test {

struct RecordingDialogs : UserDialogs {
    QStringList messages;
    QStringList questions;
    QList<bool> answers; // taken in order; Yes when none is left
    void inform(QWidget*, const QString& text) override { messages << text; }
    void askYesNo(QWidget*, const QString& text, std::function<void(bool)> answered) override {
        questions << text;
        answered(answers.isEmpty() ? true : answers.takeFirst());
    }
};

inline QLocale prcLocale() { return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China); }
inline QLocale usLocale() { return QLocale(QLocale::English, QLocale::UnitedStates); }

class ShellTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    FakeSerialChannel channel; // outlives the shell: the scheduler holds it
    QStringList ports{"/dev/ttyS0", "/dev/ttyUSB0"};
    std::unique_ptr<AppShell> shell;

    QString iniPath() const { return dir.filePath("ZAV.ini"); }

    // satellites: the language files built beside zav; otherwise a folder without any.
    ShellOptions options(QLocale locale = usLocale(), bool satellites = false, bool tray = false) {
        ShellOptions o;
        o.profilePath = iniPath();
        o.satelliteBase = satellites ? QStringLiteral(ZAV_BINARY_DIR "/zav") : dir.filePath("zav");
        o.systemLocale = locale;
        o.trayAvailable = tray;
        o.listPorts = [this] { return ports; };
        o.dialogs = &dialogs;
        o.journalPath = dir.filePath("journal.sqlite"); // never the user's own
        return o;
    }

    MainWindow& start(const ShellOptions& o) {
        shell.reset();
        shell = std::make_unique<AppShell>(channel, o);
        return shell->mainWindow();
    }
    MainWindow& window() { return shell->mainWindow(); }

    template <class T>
    T* find(const char* name) {
        T* w = shell->mainWindow().template findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void writeIni(const QByteArray& content) {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray readIni() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace zav::test
