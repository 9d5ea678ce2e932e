#pragma once
// CLOSEAPP.INI, the record the close-apps companion leaves of what it closed, and what the
// close-list window fmCloseFile reads from it. A missing file or key reads as its default.
//
// [Main]  AppNumber=N, App0..App(N-1)=section of each application ("" = no entry), ShowMsg=0|1
// [<section>]  Title=shown name (default: the section name), FileNumber=M, File0..File(M-1)=paths

#include <QString>
#include <QStringList>
#include <QVector>

namespace zav {

class ProfileFile;

inline constexpr const char* kCloseAppFileName = "CLOSEAPP.INI";

struct ClosedApp {
    QString section;
    QString title;
};

// The entries of listbox1, in order; entry i of the list is element i.
QVector<ClosedApp> closedApplications(const ProfileFile& record);
// The paths saved for one application (ListBox2).
QStringList savedFiles(const ProfileFile& record, const QString& section);

// FormActivate's rule: with `showSavedFiles` ticked and a waiting record ("ShowMsg" not 0), the
// notice is taken ("ShowMsg" set to 0) and true returned: the window is to be shown.
bool takeCloseRecordNotice(ProfileFile& record, bool showSavedFiles);

// The companion's side: a fresh record of the applications closed, with "ShowMsg" = 1.
struct CloseRecordEntry {
    QString section;
    QString title;
    QStringList files;
};
bool writeCloseRecord(ProfileFile& record, const QVector<CloseRecordEntry>& apps);

} // namespace zav
