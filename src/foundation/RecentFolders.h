#pragma once
// The folder each kind of file was last saved to or opened from, kept in ZAV.ini section
// "Folders", so a save or open dialog starts where the user last was instead of in the program's
// folder. A folder that has gone since (a removed USB stick) falls back to the given one.

#include <QString>

namespace zav {

class ProfileFile;

// Keys of the "Folders" section, one a kind of file.
enum class FileKind { Records, FieldData, Firmware, Logo };

class RecentFolders {
public:
    RecentFolders(ProfileFile* profile, QString fallback);

    // Where a dialog for this kind starts: the folder remembered, if it still exists, else the fallback.
    QString folder(FileKind kind) const;
    // Remembers the folder of a chosen file. False when ZAV.ini could not be written.
    bool remember(FileKind kind, const QString& chosenFile);

private:
    ProfileFile* profile_;
    QString fallback_;
};

} // namespace zav
