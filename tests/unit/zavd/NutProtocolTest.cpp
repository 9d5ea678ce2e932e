// The NUT protocol as a table: request lines in, reply lines out, against a device with fixed
// variables and commands; then rights and logins, which need a sequence of lines per client.

#include "zavd/NutProtocol.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

class TableDevice : public NutDevice {
  public:
    bool up = true;
    bool modelSeen = true;
    QStringList ran, set;
    bool online() const override { return up; }
    bool modelKnown() const override { return modelSeen; }
    QVector<NutVar> variables() const override {
        return {{"ups.status", "OL CHRG", "UPS status", false, "STRING:64", {}, {}, {}},
                {"battery.charge", "97.0", "Battery charge (percent)", false, "NUMBER", {}, {}, {}},
                {"zav.battery.count", "16", "Battery count", true, "RW ENUM", {"16", "18"}, {}, {}},
                {"zav.battery.capacity", "100", "Battery AH", true, "RW RANGE NUMBER", {}, "1", "30000"},
                {"ups.alarm", "say \"hi\" \\ there", "", false, "STRING:256", {}, {}, {}},
                {"input.L1-N.voltage", "230.1", "", false, "NUMBER", {}, {}, {}},
                {"input.frequency", "50.00", "", false, "NUMBER", {}, {}, {}}};
    }
    QVector<Command> commands() const override {
        return {{"beeper.mute", "silence the alarm"}, {"test.battery.start", "start a battery test"}};
    }
    QString runCommand(const QString& name, const QString& p) override {
        ran << name + (p.isEmpty() ? QString() : "=" + p);
        return name == "test.battery.start" ? QStringLiteral("INSTCMD-FAILED: a test is running") : QString();
    }
    QString setVariable(const QString& name, const QString& value) override {
        set << name + "=" + value;
        return {};
    }
    bool writing = true; // what settingPending says after a SET VAR
    bool settingPending() const override { return writing; }
};

QVector<NutUser> users() {
    NutUser admin{"admin", "secret", true, true, {"all"}, "", {}};
    NutUser mon{"mon", "pw", false, false, {}, "primary", {}};
    NutUser muter{"muter", "m", false, false, {"beeper.mute"}, "secondary", {}};
    return {admin, mon, muter};
}

struct Fixture {
    TableDevice device;
    NutUps ups{device, "zav", "ZAV UPS", users()};
};

QByteArrayList run(NutSession& s, const QByteArray& line) {
    return s.handle(line).lines;
}

struct Case {
    const char* request;
    QByteArrayList reply;
};

} // namespace

TEST(NutProtocol, AnonymousRequestsAnswerAsUpsdDoes) {
    const Case cases[] = {
        {"NETVER", {"1.3"}},
        {"HELP", {"Commands: HELP VER GET LIST SET INSTCMD LOGIN LOGOUT USERNAME PASSWORD STARTTLS"}},
        {"LIST UPS", {"BEGIN LIST UPS", "UPS zav \"ZAV UPS\"", "END LIST UPS"}},
        {"list ups", {"BEGIN LIST UPS", "UPS zav \"ZAV UPS\"", "END LIST UPS"}},
        // In the order of the names, letter case aside, as upsd lists them.
        {"LIST VAR zav",
         {"BEGIN LIST VAR zav", "VAR zav battery.charge \"97.0\"", "VAR zav input.frequency \"50.00\"",
          "VAR zav input.L1-N.voltage \"230.1\"", "VAR zav ups.alarm \"say \\\"hi\\\" \\\\ there\"",
          "VAR zav ups.status \"OL CHRG\"", "VAR zav zav.battery.capacity \"100\"", "VAR zav zav.battery.count \"16\"",
          "END LIST VAR zav"}},
        {"LIST RW zav",
         {"BEGIN LIST RW zav", "RW zav zav.battery.capacity \"100\"", "RW zav zav.battery.count \"16\"",
          "END LIST RW zav"}},
        {"LIST CMD zav", {"BEGIN LIST CMD zav", "CMD zav beeper.mute", "CMD zav test.battery.start", "END LIST CMD zav"}},
        {"LIST ENUM zav zav.battery.count",
         {"BEGIN LIST ENUM zav zav.battery.count", "ENUM zav zav.battery.count \"16\"",
          "ENUM zav zav.battery.count \"18\"", "END LIST ENUM zav zav.battery.count"}},
        {"LIST RANGE zav battery.charge", {"BEGIN LIST RANGE zav battery.charge", "END LIST RANGE zav battery.charge"}},
        {"LIST RANGE zav zav.battery.capacity",
         {"BEGIN LIST RANGE zav zav.battery.capacity", "RANGE zav zav.battery.capacity \"1\" \"30000\"",
          "END LIST RANGE zav zav.battery.capacity"}},
        {"GET TYPE zav zav.battery.capacity", {"TYPE zav zav.battery.capacity RW RANGE NUMBER"}},
        {"GET VAR zav ups.status", {"VAR zav ups.status \"OL CHRG\""}},
        {"GET VAR \"zav\" \"ups.status\"", {"VAR zav ups.status \"OL CHRG\""}},
        {"GET TYPE zav zav.battery.count", {"TYPE zav zav.battery.count RW ENUM"}},
        {"GET TYPE zav battery.charge", {"TYPE zav battery.charge NUMBER"}},
        {"GET DESC zav battery.charge", {"DESC zav battery.charge \"Battery charge (percent)\""}},
        {"GET DESC zav ups.alarm", {"DESC zav ups.alarm \"Description unavailable\""}},
        {"GET CMDDESC zav beeper.mute", {"CMDDESC zav beeper.mute \"silence the alarm\""}},
        {"GET UPSDESC zav", {"UPSDESC zav \"ZAV UPS\""}},
        {"GET NUMLOGINS zav", {"NUMLOGINS zav 0"}},
        // Errors.
        {"GET VAR zav no.such", {"ERR VAR-NOT-SUPPORTED"}},
        {"GET VAR other ups.status", {"ERR UNKNOWN-UPS"}},
        {"GET VAR zav", {"ERR INVALID-ARGUMENT"}},
        {"GET VAR zav ups.status extra", {"ERR INVALID-ARGUMENT"}},
        {"GET CMDDESC zav load.on", {"CMDDESC zav load.on \"Description unavailable\""}},
        {"PROTVER", {"1.3"}},
        {"LIST CLIENT zav", {"BEGIN LIST CLIENT zav", "END LIST CLIENT zav"}},
        {"LIST CLIENT other", {"ERR UNKNOWN-UPS"}},
        {"GET TRACKING 1bd31808-cb49-4aec-9d75-d056e6f018d2", {"ERR FEATURE-NOT-CONFIGURED"}},
        {"GET FOO zav x", {"ERR INVALID-ARGUMENT"}},
        {"LIST VAR", {"ERR INVALID-ARGUMENT"}},
        {"LIST VAR nobody", {"ERR UNKNOWN-UPS"}},
        {"LIST ENUM zav nothing", {"ERR VAR-NOT-SUPPORTED"}},
        {"LIST CLIENTS zav", {"ERR INVALID-ARGUMENT"}},
        {"GET VAR zav \"ups.status", {"ERR INVALID-ARGUMENT"}},
        {"FLY zav", {"ERR UNKNOWN-COMMAND"}},
        {"\x01\xff\xfe garbage", {"ERR UNKNOWN-COMMAND"}},
        {"STARTTLS", {"ERR FEATURE-NOT-CONFIGURED"}},
        {"NETVER 2", {"ERR INVALID-ARGUMENT"}},
        {"INSTCMD zav beeper.mute", {"ERR USERNAME-REQUIRED"}},
        {"SET VAR zav zav.battery.count 18", {"ERR USERNAME-REQUIRED"}},
        {"LOGIN zav", {"ERR USERNAME-REQUIRED"}},
        {"FSD zav", {"ERR USERNAME-REQUIRED"}},
        {"PRIMARY zav", {"ERR USERNAME-REQUIRED"}},
        {"MASTER zav", {"ERR USERNAME-REQUIRED"}},
        {"a b c d e f g h i j k l m n o p q", {"ERR INVALID-ARGUMENT"}},
        {"", {}},
        {"   ", {}},
    };
    Fixture f;
    NutSession s(f.ups, "test");
    for (const Case& c : cases) EXPECT_EQ(run(s, c.request), c.reply) << c.request;
    EXPECT_TRUE(f.device.ran.isEmpty());
    EXPECT_TRUE(f.device.set.isEmpty());
}

TEST(NutProtocol, VersionLineNamesUpsdCompatibility) {
    Fixture f;
    NutSession s(f.ups, "test");
    const QByteArrayList ver = run(s, "VER");
    ASSERT_EQ(ver.size(), 1);
    EXPECT_TRUE(ver[0].startsWith("Network UPS Tools upsd")) << ver[0].constData();
}

TEST(NutProtocol, ReadsSayDataStaleWhileTheUpsIsSilent) {
    Fixture f;
    f.device.up = false;
    NutSession s(f.ups, "test");
    EXPECT_EQ(run(s, "GET VAR zav ups.status"), QByteArrayList{"ERR DATA-STALE"});
    EXPECT_EQ(run(s, "LIST VAR zav"), QByteArrayList{"ERR DATA-STALE"});
    EXPECT_EQ(run(s, "GET TYPE zav battery.charge"), QByteArrayList{"ERR DATA-STALE"});
    // What does not need the UPS still answers; the commands need only the model.
    EXPECT_EQ(run(s, "LIST UPS").size(), 3);
    EXPECT_EQ(run(s, "LIST CMD zav").size(), 4);
    // Before the model is known the commands are not known either: another model's would be wrong.
    f.device.modelSeen = false;
    EXPECT_EQ(run(s, "LIST CMD zav"), QByteArrayList{"ERR DATA-STALE"});
    EXPECT_EQ(run(s, "GET CMDDESC zav beeper.mute"), QByteArrayList{"ERR DATA-STALE"});
}

TEST(NutProtocol, CommandsAndWritesNeedAUserWithThatRight) {
    struct Step {
        const char* user;
        const char* password;
        const char* request;
        const char* reply;
    };
    const Step steps[] = {
        {"admin", "secret", "INSTCMD zav beeper.mute", "OK"},
        {"admin", "secret", "INSTCMD zav load.on", "ERR CMD-NOT-SUPPORTED"},
        {"admin", "secret", "INSTCMD zav test.battery.start", "ERR INSTCMD-FAILED"},
        {"admin", "secret", "SET VAR zav zav.battery.count 18", "OK"},
        {"admin", "secret", "SET VAR zav zav.battery.count 17", "ERR INVALID-VALUE"},
        {"admin", "secret", "SET VAR zav battery.charge 50", "ERR READONLY"},
        {"admin", "secret", "SET VAR zav nothing 1", "ERR VAR-NOT-SUPPORTED"},
        {"admin", "wrong", "INSTCMD zav beeper.mute", "ERR ACCESS-DENIED"},
        {"admin", "wrong", "SET VAR zav zav.battery.count 18", "ERR ACCESS-DENIED"},
        {"nobody", "secret", "INSTCMD zav beeper.mute", "ERR ACCESS-DENIED"},
        {"muter", "m", "INSTCMD zav beeper.mute", "OK"},
        {"muter", "m", "INSTCMD zav test.battery.start", "ERR ACCESS-DENIED"},
        {"muter", "m", "SET VAR zav zav.battery.count 18", "ERR ACCESS-DENIED"},
        {"mon", "pw", "INSTCMD zav beeper.mute", "ERR ACCESS-DENIED"},
        {"admin", nullptr, "INSTCMD zav beeper.mute", "ERR PASSWORD-REQUIRED"},
    };
    for (const Step& step : steps) {
        Fixture f;
        NutSession s(f.ups, "test");
        EXPECT_EQ(run(s, QByteArray("USERNAME ") + step.user), QByteArrayList{"OK"});
        if (step.password) {
            EXPECT_EQ(run(s, QByteArray("PASSWORD ") + step.password), QByteArrayList{"OK"});
        }
        EXPECT_EQ(run(s, step.request), QByteArrayList{step.reply}) << step.user << " " << step.request;
        const bool reached = QByteArray(step.reply) == "OK" || QByteArray(step.reply) == "ERR INSTCMD-FAILED";
        EXPECT_EQ(!f.device.ran.isEmpty() || !f.device.set.isEmpty(), reached) << step.request;
    }
}

TEST(NutProtocol, LoginsArePasswordCheckedAndCountedPerUps) {
    Fixture f;
    {
        NutSession a(f.ups, "a");
        EXPECT_EQ(run(a, "USERNAME mon"), QByteArrayList{"OK"});
        EXPECT_EQ(run(a, "USERNAME other"), QByteArrayList{"ERR ALREADY-SET-USERNAME"});
        EXPECT_EQ(run(a, "LOGIN zav"), QByteArrayList{"ERR PASSWORD-REQUIRED"});
        EXPECT_EQ(run(a, "PASSWORD pw"), QByteArrayList{"OK"});
        EXPECT_EQ(run(a, "PASSWORD again"), QByteArrayList{"ERR ALREADY-SET-PASSWORD"});
        EXPECT_EQ(run(a, "LOGIN other"), QByteArrayList{"ERR UNKNOWN-UPS"});
        EXPECT_EQ(run(a, "LOGIN zav"), QByteArrayList{"OK"});
        EXPECT_EQ(run(a, "LOGIN zav"), QByteArrayList{"ERR ALREADY-LOGGED-IN"});
        EXPECT_EQ(run(a, "PRIMARY zav"), QByteArrayList{"OK PRIMARY-GRANTED"});
        EXPECT_EQ(run(a, "MASTER zav"), QByteArrayList{"OK MASTER-GRANTED"});
        NutSession b(f.ups, "b");
        run(b, "USERNAME muter");
        run(b, "PASSWORD wrong");
        EXPECT_EQ(run(b, "LOGIN zav"), QByteArrayList{"ERR ACCESS-DENIED"});
        EXPECT_EQ(run(b, "GET NUMLOGINS zav"), QByteArrayList{"NUMLOGINS zav 1"});
        NutSession c(f.ups, "c");
        run(c, "USERNAME muter");
        run(c, "PASSWORD m");
        EXPECT_EQ(run(c, "LOGIN zav"), QByteArrayList{"OK"});
        EXPECT_EQ(run(c, "PRIMARY zav"), QByteArrayList{"ERR ACCESS-DENIED"}); // a secondary
        // An administrator is no upsmon: a login would hold a primary's shutdown back in NUMLOGINS.
        NutSession d(f.ups, "10.0.0.9:5123");
        run(d, "USERNAME admin");
        run(d, "PASSWORD secret");
        EXPECT_EQ(run(d, "LOGIN zav"), QByteArrayList{"ERR ACCESS-DENIED"});
        EXPECT_EQ(f.ups.logins(), 2);
        EXPECT_EQ(run(d, "LIST CLIENT zav"),
                  (QByteArrayList{"BEGIN LIST CLIENT zav", "CLIENT zav a", "CLIENT zav c", "END LIST CLIENT zav"}));
    }
    EXPECT_EQ(f.ups.logins(), 0); // clients that went count no longer
}

TEST(NutProtocol, SeveralUpsesAnswerByNameWithRightsPerUps) {
    TableDevice leftDevice, rightDevice;
    rightDevice.up = false; // silent: only its own name says so
    QVector<NutUser> people = users();
    people[1].upses = {"left"}; // mon watches the left UPS only
    people.append({"both", "b", false, true, {"all"}, "primary", {"left", "right"}});
    people[0].upses = {"right"}; // the administrator acts on the right UPS only
    NutUps left{leftDevice, "left", "Rack A", people};
    NutUps right{rightDevice, "right", "Rack B", people};
    NutSession s({&left, &right}, "10.0.0.5:4000");
    EXPECT_EQ(run(s, "LIST UPS"), (QByteArrayList{"BEGIN LIST UPS", "UPS left \"Rack A\"", "UPS right \"Rack B\"",
                                                   "END LIST UPS"}));
    EXPECT_EQ(run(s, "GET VAR left battery.charge"), QByteArrayList{"VAR left battery.charge \"97.0\""});
    EXPECT_EQ(run(s, "GET VAR right battery.charge"), QByteArrayList{"ERR DATA-STALE"});
    EXPECT_EQ(run(s, "GET UPSDESC right"), QByteArrayList{"UPSDESC right \"Rack B\""});
    EXPECT_EQ(run(s, "GET VAR middle battery.charge"), QByteArrayList{"ERR UNKNOWN-UPS"});
    EXPECT_EQ(run(s, "LIST CMD right").size(), 4u) << "commands follow the model, not the link";

    // The administrator's rights hold for the right UPS only.
    run(s, "USERNAME admin");
    run(s, "PASSWORD secret");
    EXPECT_EQ(run(s, "INSTCMD left beeper.mute"), QByteArrayList{"ERR ACCESS-DENIED"});
    EXPECT_EQ(run(s, "SET VAR left zav.battery.count 18"), QByteArrayList{"ERR ACCESS-DENIED"});
    EXPECT_TRUE(leftDevice.ran.isEmpty() && leftDevice.set.isEmpty());
    rightDevice.up = true;
    EXPECT_EQ(run(s, "INSTCMD right beeper.mute"), QByteArrayList{"OK"});
    EXPECT_EQ(rightDevice.ran, QStringList{"beeper.mute"});

    // upsmon logs in to one UPS; the login counts there alone.
    NutSession m({&left, &right}, "10.0.0.6:4001");
    run(m, "USERNAME mon");
    run(m, "PASSWORD pw");
    EXPECT_EQ(run(m, "LOGIN right"), QByteArrayList{"ERR ACCESS-DENIED"});
    EXPECT_EQ(run(m, "PRIMARY right"), QByteArrayList{"ERR ACCESS-DENIED"});
    EXPECT_EQ(run(m, "FSD right"), QByteArrayList{"ERR ACCESS-DENIED"});
    EXPECT_FALSE(right.forcedShutdown());
    EXPECT_EQ(run(m, "LOGIN left"), QByteArrayList{"OK"});
    EXPECT_EQ(left.logins(), 1);
    EXPECT_EQ(right.logins(), 0);
    NutSession b({&left, &right}, "10.0.0.7:4002");
    run(b, "USERNAME both");
    run(b, "PASSWORD b");
    EXPECT_EQ(run(b, "LOGIN right"), QByteArrayList{"OK"});
    EXPECT_EQ(run(b, "FSD right"), QByteArrayList{"OK FSD-SET"});
    EXPECT_TRUE(right.forcedShutdown());
    EXPECT_FALSE(left.forcedShutdown());

    // A tracking id is found whichever UPS it belongs to.
    run(s, "SET TRACKING ON");
    const QByteArray reply = run(s, "INSTCMD right beeper.mute").value(0);
    ASSERT_TRUE(reply.startsWith("OK TRACKING ")) << reply.constData();
    EXPECT_EQ(run(s, "GET TRACKING " + reply.mid(12)), QByteArrayList{"PENDING"});
    right.trackingEnded(NutUps::Tracked::Command, true); // the first command
    right.trackingEnded(NutUps::Tracked::Command, true);
    EXPECT_EQ(run(s, "GET TRACKING " + reply.mid(12)), QByteArrayList{"SUCCESS"});
}

TEST(NutProtocol, ForcedShutdownNeedsAPrimaryOrTheFsdRight) {
    Fixture f;
    NutSession secondary(f.ups, "s");
    run(secondary, "USERNAME muter");
    run(secondary, "PASSWORD m");
    EXPECT_EQ(run(secondary, "FSD zav"), QByteArrayList{"ERR ACCESS-DENIED"});
    EXPECT_FALSE(f.ups.forcedShutdown());
    NutSession primary(f.ups, "p");
    run(primary, "USERNAME mon");
    run(primary, "PASSWORD pw");
    EXPECT_EQ(run(primary, "FSD other"), QByteArrayList{"ERR UNKNOWN-UPS"});
    EXPECT_EQ(run(primary, "FSD zav"), QByteArrayList{"OK FSD-SET"});
    EXPECT_TRUE(f.ups.forcedShutdown());
}

// TRACKING: an accepted command or setting gets an id that says PENDING until the UPS's own verdict.
TEST(NutProtocol, TrackingFollowsCommandsAndSettingsToTheUpsVerdict) {
    Fixture f;
    NutSession s(f.ups, "127.0.0.1");
    EXPECT_EQ(run(s, "SET TRACKING ON"), QByteArrayList{"ERR USERNAME-REQUIRED"});
    EXPECT_EQ(run(s, "GET TRACKING"), QByteArrayList{"OFF"});
    run(s, "USERNAME admin");
    run(s, "PASSWORD secret");
    EXPECT_EQ(run(s, "INSTCMD zav beeper.mute"), QByteArrayList{"OK"}); // tracking off: the plain answer
    f.ups.trackingEnded(NutUps::Tracked::Command, true);                 // ... and it went through
    EXPECT_EQ(run(s, "SET TRACKING maybe"), QByteArrayList{"ERR INVALID-ARGUMENT"});
    EXPECT_EQ(run(s, "SET TRACKING ON"), QByteArrayList{"OK"});
    EXPECT_EQ(run(s, "GET TRACKING"), QByteArrayList{"ON"});

    auto trackedId = [&](const QByteArray& request) {
        const QByteArrayList reply = run(s, request);
        EXPECT_EQ(reply.size(), 1);
        EXPECT_TRUE(reply.value(0).startsWith("OK TRACKING ")) << reply.value(0).toStdString();
        return reply.value(0).mid(12);
    };
    const QByteArray command = trackedId("INSTCMD zav beeper.mute");
    EXPECT_EQ(run(s, "GET TRACKING " + command), QByteArrayList{"PENDING"});
    f.ups.trackingEnded(NutUps::Tracked::Command, false); // the UPS refused it
    EXPECT_EQ(run(s, "GET TRACKING " + command), QByteArrayList{"ERR FAILED"});
    const QByteArray again = trackedId("INSTCMD zav beeper.mute");
    f.ups.trackingEnded(NutUps::Tracked::Command, true);
    EXPECT_EQ(run(s, "GET TRACKING " + again), QByteArrayList{"SUCCESS"});
    EXPECT_EQ(run(s, "GET TRACKING " + command), QByteArrayList{"ERR FAILED"}); // each keeps its own verdict

    // Commands handed over in a row end in the order they were handed over, each with its verdict.
    const QByteArray first = trackedId("INSTCMD zav beeper.mute");
    const QByteArray second = trackedId("INSTCMD zav beeper.mute");
    f.ups.trackingEnded(NutUps::Tracked::Command, false);
    EXPECT_EQ(run(s, "GET TRACKING " + first), QByteArrayList{"ERR FAILED"});
    EXPECT_EQ(run(s, "GET TRACKING " + second), QByteArrayList{"PENDING"});
    f.ups.trackingEnded(NutUps::Tracked::Command, true);
    EXPECT_EQ(run(s, "GET TRACKING " + second), QByteArrayList{"SUCCESS"});

    const QByteArray setting = trackedId("SET VAR zav zav.battery.count 18");
    EXPECT_EQ(run(s, "GET TRACKING " + setting), QByteArrayList{"PENDING"});
    f.ups.trackingEnded(NutUps::Tracked::Setting, true);
    EXPECT_EQ(run(s, "GET TRACKING " + setting), QByteArrayList{"SUCCESS"});
    f.device.writing = false; // the UPS held the value already: nothing to wait for
    EXPECT_EQ(run(s, "GET TRACKING " + trackedId("SET VAR zav zav.battery.count 16")), QByteArrayList{"SUCCESS"});

    // A refused command gets no id; an unknown id is unknown.
    EXPECT_EQ(run(s, "INSTCMD zav test.battery.start"), QByteArrayList{"ERR INSTCMD-FAILED"});
    EXPECT_EQ(run(s, "GET TRACKING 1bd31808-cb49-4aec-9d75-d056e6f018d2"), QByteArrayList{"ERR UNKNOWN"});
    EXPECT_EQ(run(s, "SET TRACKING OFF"), QByteArrayList{"OK"});
    EXPECT_EQ(run(s, "INSTCMD zav beeper.mute"), QByteArrayList{"OK"});
}

TEST(NutProtocol, LogoutSaysGoodbyeAndCloses) {
    Fixture f;
    NutSession s(f.ups, "test");
    const NutSession::Reply r = s.handle("LOGOUT");
    EXPECT_EQ(r.lines, QByteArrayList{"OK Goodbye"});
    EXPECT_TRUE(r.close);
}

TEST(NutProtocol, SplitAndQuoteRoundTrip) {
    EXPECT_EQ(NutSession::split("SET VAR zav x \"a b\\\"c\""), (QStringList{"SET", "VAR", "zav", "x", "a b\"c"}));
    EXPECT_EQ(NutSession::split("  A\t\"\"  B "), (QStringList{"A", "", "B"}));
    EXPECT_FALSE(NutSession::split("A \"open").has_value());
    EXPECT_EQ(NutSession::quote("a\"b\\c\nd"), QByteArray("\"a\\\"b\\\\c d\""));
    EXPECT_EQ(NutSession::split(NutSession::quote("x \" \\ y")), QStringList{"x \" \\ y"});
}
