// zavd's protocol replayed against what Debian's upsd answered to the same requests: the expected
// replies come from the reference server (tests/data/nut/upsd-2.8.0-reference.txt, recorded with
// record-upsd.py beside it), not from the code under test. The device and the users mirror the
// reference server's configuration.

#include "zavd/NutProtocol.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace zav;

namespace {

// dummy-ups offers every variable as a writable string of 32 bytes, and no commands. The status
// is zavd's own, from status words that say "on line" and the forced-shutdown flag of the UPS.
class ReferenceDevice : public NutDevice {
  public:
    const NutUps* ups = nullptr;
    LiveStores live;
    ReferenceDevice() {
        live.LiveStatus.set(81, 1); // on the inverter
        live.LiveStatus.set(83, 1); // battery connected
    }
    bool online() const override { return true; }
    QVector<NutVar> variables() const override {
        const QString status = nutStatus({&live, 7, ups && ups->forcedShutdown()});
        return {{"ups.status", status, "UPS status", true, "RW STRING:32", {}, {}, {}},
                {"ups.mfr", "Test", "UPS manufacturer", true, "RW STRING:32", {}, {}, {}}};
    }
    QVector<Command> commands() const override { return {}; }
    QString runCommand(const QString&, const QString&) override { return QStringLiteral("CMD-NOT-SUPPORTED"); }
    QString setVariable(const QString&, const QString&) override { return {}; }
    bool settingPending() const override { return false; }
};

QVector<NutUser> referenceUsers() {
    return {{"admin", "adminpw", true, true, {"all"}, ""},
            {"mon", "monpw", false, false, {}, "primary"},
            {"sec", "secpw", false, false, {}, "secondary"}};
}

struct Exchange {
    QByteArray request;
    QByteArrayList reply;
};
struct Session {
    QByteArray name;
    QVector<Exchange> exchanges;
};

QVector<Session> readReference(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QVector<Session> sessions;
    for (QByteArray line : f.readAll().split('\n')) {
        if (line.startsWith("# session ")) sessions.append({line.mid(10), {}});
        else if (line.startsWith("> ") && !sessions.isEmpty()) sessions.last().exchanges.append({line.mid(2), {}});
        else if (line.startsWith("< ") && !sessions.isEmpty() && !sessions.last().exchanges.isEmpty())
            sessions.last().exchanges.last().reply << line.mid(2);
    }
    return sessions;
}

} // namespace

TEST(NutReference, EveryRecordedExchangeGetsUpsdsReply) {
    const QVector<Session> sessions =
        readReference(QStringLiteral(QT_TESTCASE_SOURCEDIR "/tests/data/nut/upsd-2.8.0-reference.txt"));
    ASSERT_GE(sessions.size(), 8) << "the reference file was not read";
    ReferenceDevice device;
    NutUps ups(device, "ref", "Reference UPS", referenceUsers());
    device.ups = &ups;
    int compared = 0;
    for (const Session& s : sessions) {
        auto session = std::make_unique<NutSession>(ups, "127.0.0.1:40000");
        for (const Exchange& e : s.exchanges) {
            const NutSession::Reply reply = session->handle(e.request);
            // zavd names itself after upsd's version: the one line where it differs on purpose.
            if (e.request == "VER") {
                ASSERT_EQ(reply.lines.size(), 1);
                EXPECT_TRUE(reply.lines[0].startsWith("Network UPS Tools upsd 2.8.0 - zavd"));
                continue;
            }
            EXPECT_EQ(reply.lines, e.reply) << "session " << s.name.constData() << ": " << e.request.constData();
            ++compared;
        }
    }
    EXPECT_GT(compared, 80);
}
