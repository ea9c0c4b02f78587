// Line settings in termios terms: baud-rate constants, reading a termios record as
// line settings and making a record raw 8-bit with no flow control. Used by the real
// serial port and by the simulator's pseudo-terminal.
#pragma once

#include <termios.h>

#include <optional>

#include "link/line_settings.h"

namespace kelvane {

// The termios speed constant for a baud rate; nothing for a rate termios lacks.
std::optional<speed_t> termiosSpeed(int baud);
// The baud rate of a termios speed constant; 0 for one this table lacks.
int baudOf(speed_t speed);

LineSettings lineSettingsOf(const termios& tio);

// Raw 8-bit, CLOCAL|CREAD, no flow control, reads that never block in the driver,
// then the given settings. termios has no 1.5 stop bits: they are sent as two.
// False, with the record unchanged, for a baud rate termios lacks.
bool makeRaw(termios& tio, const LineSettings& settings);

}  // namespace kelvane
