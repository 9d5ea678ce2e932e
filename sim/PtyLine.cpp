#include "PtyLine.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace zav::sim {

int ptyLineBaud(int fd) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return 0;
    return int(t.c_ospeed);
}

bool configurePtyLine(int fd, int baud) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD);
    t.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER;
    t.c_ispeed = speed_t(baud);
    t.c_ospeed = speed_t(baud);
    return ioctl(fd, TCSETS2, &t) == 0;
}

} // namespace zav::sim
