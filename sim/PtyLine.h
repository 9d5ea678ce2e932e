#pragma once
// Line settings of a pseudo-terminal through the kernel's termios2 interface, which carries any
// rate (14400 has no Bxxx constant). Kept apart because <asm/termbits.h> clashes with <termios.h>.

namespace zav::sim {

// The output rate set on the terminal (either side of the pair); 0 when it cannot be read.
int ptyLineBaud(int fd);

// Raw 8N1 at `baud`, no echo, no flow control: what a UART of the UPS would be.
bool configurePtyLine(int fd, int baud);

} // namespace zav::sim
