#pragma once
// A pseudo-terminal pair for a simulated device: the tool opens the slave device (/dev/pts/N), the
// simulator reads and writes the master side. The slave fd stays open for the pair's life, so the
// master never sees a hang-up when the tool closes and reopens the port. An optional symbolic link
// gives the device a stable name; it is removed with the pair.

#include <QString>

namespace zav::sim {

class PtyPair {
  public:
    PtyPair() = default;
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Opens the pair, the master non-blocking, the line raw 8N1 at `baud` until the tool sets its own.
    bool open(int baud, QString* error);
    // A symbolic link to the device; an existing link is replaced, any other file is left alone.
    bool createLink(const QString& linkPath, QString* error);

    // Closes the master: the device node is gone under the tool, as when a USB adapter is pulled
    // (reads end, writes and settings fail, opening the path again fails). The slave stays open
    // until the pair goes, so the pseudo-terminal's number cannot pass to a newer pair meanwhile.
    void hangUp();

    int master() const { return master_; }
    QString devicePath() const { return path_; }

  private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    QString link_;
};

} // namespace zav::sim
