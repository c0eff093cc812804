#pragma once

// Baud rates without a standard termios constant (14400, 56000, 128000,
// 256000). Linux sets any rate through its termios2 interface; elsewhere the
// speed value is the rate itself where the system allows, otherwise the
// nearest standard rate is used.
namespace SerialRate {

// Applies `rate` to the open tty `fd` after its other settings; 0 or the error number.
int SetCustom(int fd, int rate);
// The rate the tty `fd` runs at, as the system reports it (0 if unknown).
int Current(int fd);

}  // namespace SerialRate
