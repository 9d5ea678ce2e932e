#include "PtyPair.h"

#include "PtyLine.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace zav::sim {

PtyPair::~PtyPair() {
    if (!link_.isEmpty()) ::unlink(QFile::encodeName(link_).constData());
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

bool PtyPair::open(int baud, QString* error) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        if (error) *error = QString("cannot open a pseudo-terminal: %1").arg(std::strerror(errno));
        return false;
    }
    path_ = QString::fromLocal8Bit(name);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    configurePtyLine(slave_, baud);
    return true;
}

void PtyPair::hangUp() {
    // Closing the master removes the device node, as a pulled adapter removes its port. The slave
    // stays open until the pair goes: it keeps the pseudo-terminal's number taken, so a program that
    // tries the vanished path again finds nothing rather than a newer pseudo-terminal given the same
    // name.
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

bool PtyPair::createLink(const QString& linkPath, QString* error) {
    const QByteArray target = QFile::encodeName(linkPath);
    const QFileInfo info(linkPath);
    if (info.isSymLink()) {
        ::unlink(target.constData());
    } else if (info.exists()) {
        if (error) *error = QString("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (::symlink(QFile::encodeName(path_).constData(), target.constData()) != 0) {
        if (error) *error = QString("cannot create the link %1: %2").arg(linkPath, std::strerror(errno));
        return false;
    }
    link_ = linkPath;
    return true;
}

} // namespace zav::sim
