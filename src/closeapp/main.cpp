// zav-closeapp: the close-apps companion of zav's shutdown sequence. It asks every top-level window
// of the user's X11 session to close as its close button would (through the window manager's
// _NET_CLOSE_WINDOW request, or WM_DELETE_WINDOW straight to the window when no window manager
// offers it), so each application can save or ask about its documents. It waits a bounded time for
// the windows to go and writes CLOSEAPP.INI with the applications that closed, for zav's close list
// at the next start. Wayland gives no program the right to close other programs' windows: there it
// says so and closes nothing.
//
// Exit status: 0 every window closed, 1 some were still open when the wait ended, 2 bad arguments,
// 3 no X11 display.

#include "foundation/ProfileFile.h"
#include "protect/CloseList.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <xcb/xcb.h>

using namespace zav;

namespace {

struct Options {
    QString record;
    QSet<quint32> excludedPids;
    int waitSeconds = 30;
    bool listOnly = false;
};

struct Atoms {
    xcb_atom_t clientList, closeWindow, supported, wmPid, wmName, utf8, wmProtocols, deleteWindow, wmClass;
};

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

QByteArray property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type) {
    xcb_get_property_reply_t* r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 4096), nullptr);
    QByteArray bytes;
    if (r) bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(r)), xcb_get_property_value_length(r));
    free(r);
    return bytes;
}

QVector<quint32> words(const QByteArray& bytes) {
    QVector<quint32> out(bytes.size() / 4);
    if (!out.isEmpty()) memcpy(out.data(), bytes.constData(), size_t(out.size()) * 4);
    return out;
}

struct Window {
    xcb_window_t id;
    quint32 pid;
    QString title;
    QString appClass; // WM_CLASS class part: the application
};

Window describe(xcb_connection_t* c, const Atoms& a, xcb_window_t w) {
    Window d{w, 0, {}, {}};
    const QVector<quint32> pid = words(property(c, w, a.wmPid, XCB_ATOM_CARDINAL));
    if (!pid.isEmpty()) d.pid = pid.first();
    d.title = QString::fromUtf8(property(c, w, a.wmName, a.utf8));
    if (d.title.isEmpty()) d.title = QString::fromLatin1(property(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING));
    const QList<QByteArray> cls = property(c, w, a.wmClass, XCB_ATOM_STRING).split('\0');
    d.appClass = QString::fromUtf8(cls.size() > 1 ? cls[1] : cls.value(0));
    if (d.appClass.isEmpty()) d.appClass = QStringLiteral("window");
    if (d.title.isEmpty()) d.title = d.appClass;
    return d;
}

bool exists(xcb_connection_t* c, xcb_window_t w) {
    xcb_get_window_attributes_reply_t* r = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool alive = r && r->map_state != XCB_MAP_STATE_UNMAPPED;
    free(r);
    return alive;
}

// The windows a user would call open: the window manager's client list, or without one the mapped
// children of the root that name themselves.
QVector<xcb_window_t> topLevels(xcb_connection_t* c, xcb_window_t root, const Atoms& a, bool* managed) {
    const QVector<quint32> list = words(property(c, root, a.clientList, XCB_ATOM_WINDOW));
    *managed = !list.isEmpty();
    if (*managed) return QVector<xcb_window_t>(list.begin(), list.end());
    QVector<xcb_window_t> out;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (!tree) return out;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
        if (exists(c, children[i]) && !property(c, children[i], a.wmClass, XCB_ATOM_STRING).isEmpty())
            out << children[i];
    free(tree);
    return out;
}

void sendClose(xcb_connection_t* c, xcb_window_t root, const Atoms& a, xcb_window_t w, bool viaManager) {
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = w;
    if (viaManager) {
        e.type = a.closeWindow;
        e.data.data32[0] = XCB_CURRENT_TIME;
        e.data.data32[1] = 2; // a pager or task bar asks: the manager treats it like its close button
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&e));
    } else {
        e.type = a.wmProtocols;
        e.data.data32[0] = a.deleteWindow;
        e.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    }
}

bool parse(const QStringList& args, Options* o, QString* error) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        QString v;
        bool ok = true;
        if (a == QLatin1String("--record")) {
            ok = value(&o->record);
        } else if (a == QLatin1String("--exclude-pid")) {
            ok = value(&v);
            o->excludedPids.insert(v.toUInt(&ok));
        } else if (a == QLatin1String("--wait")) {
            ok = value(&v);
            o->waitSeconds = v.toInt(&ok);
            ok = ok && o->waitSeconds >= 0 && o->waitSeconds <= 3600;
        } else if (a == QLatin1String("--list")) {
            o->listOnly = true;
        } else {
            *error = QStringLiteral("unknown argument ") + a;
            return false;
        }
        if (!ok) {
            *error = QStringLiteral("bad value for ") + a;
            return false;
        }
    }
    if (o->record.isEmpty() && !o->listOnly) {
        *error = QStringLiteral("--record PATH is needed");
        return false;
    }
    return true;
}

const char* const kUsage =
    "usage: zav-closeapp --record PATH [--exclude-pid PID]... [--wait SECONDS] | --list\n"
    "Asks every window of the X11 session to close, waits up to SECONDS (default 30) and writes the\n"
    "applications that closed to PATH (CLOSEAPP.INI). --list only prints the windows.\n";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options o;
    QString error;
    if (!parse(app.arguments(), &o, &error)) {
        std::fprintf(stderr, "zav-closeapp: %s\n%s", qPrintable(error), kUsage);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            std::fputs("zav-closeapp: this is a Wayland session without X11; Wayland lets no program close "
                       "other applications' windows, so nothing was closed\n", stderr);
        else
            std::fputs("zav-closeapp: no desktop session (DISPLAY is not set); nothing was closed\n", stderr);
        return 3;
    }
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "zav-closeapp: cannot open the X11 display %s\n", qgetenv("DISPLAY").constData());
        xcb_disconnect(c);
        return 3;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    const Atoms a{atom(c, "_NET_CLIENT_LIST"), atom(c, "_NET_CLOSE_WINDOW"), atom(c, "_NET_SUPPORTED"),
                  atom(c, "_NET_WM_PID"),      atom(c, "_NET_WM_NAME"),      atom(c, "UTF8_STRING"),
                  atom(c, "WM_PROTOCOLS"),     atom(c, "WM_DELETE_WINDOW"),  XCB_ATOM_WM_CLASS};

    bool managed = false;
    const QVector<quint32> supported = words(property(c, root, a.supported, XCB_ATOM_ATOM));
    const bool managerCloses = supported.contains(a.closeWindow);
    QVector<Window> asked;
    for (xcb_window_t w : topLevels(c, root, a, &managed)) {
        const Window d = describe(c, a, w);
        if (d.pid != 0 && o.excludedPids.contains(d.pid)) continue;
        std::printf("%s: %s (%s, pid %u)\n", o.listOnly ? "window" : "asked to close", qPrintable(d.title),
                    qPrintable(d.appClass), d.pid);
        if (!o.listOnly) sendClose(c, root, a, w, managed && managerCloses);
        asked << d;
    }
    xcb_flush(c);
    if (o.listOnly) {
        xcb_disconnect(c);
        return 0;
    }

    // Applications may ask their users about unsaved work: wait for them, but not for ever.
    QDeadlineTimer deadline(qint64(o.waitSeconds) * 1000);
    QVector<Window> open = asked;
    while (!open.isEmpty()) {
        open.erase(std::remove_if(open.begin(), open.end(), [c](const Window& d) { return !exists(c, d.id); }),
                   open.end());
        if (open.isEmpty() || deadline.hasExpired()) break;
        QThread::msleep(200);
    }
    for (const Window& d : std::as_const(open))
        std::printf("still open: %s (%s, pid %u)\n", qPrintable(d.title), qPrintable(d.appClass), d.pid);
    xcb_disconnect(c);

    // One record entry per application that closed, its first window's title as the title.
    QVector<CloseRecordEntry> closed;
    QSet<QString> seen;
    for (const Window& d : std::as_const(asked)) {
        const bool stillOpen = std::any_of(open.begin(), open.end(), [&](const Window& s) { return s.id == d.id; });
        if (stillOpen || seen.contains(d.appClass)) continue;
        seen.insert(d.appClass);
        QString section = d.appClass;
        section.remove(QChar(u'[')).remove(QChar(u']')).remove(QChar(u'='));
        closed.append({section, d.title, {}});
    }
    QFile::remove(o.record); // a fresh record: nothing of an earlier shutdown lingers
    ProfileFile record(o.record);
    if (!writeCloseRecord(record, closed)) {
        std::fprintf(stderr, "zav-closeapp: cannot write %s\n", qPrintable(o.record));
        return 1;
    }
    std::printf("closed %lld application(s); record in %s\n", qlonglong(closed.size()), qPrintable(o.record));
    return open.isEmpty() ? 0 : 1;
}
