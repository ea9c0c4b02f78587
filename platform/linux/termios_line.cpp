#include "platform/linux/termios_line.h"

#include <array>
#include <utility>

namespace kelvane {

namespace {

constexpr std::array<std::pair<int, speed_t>, 8> kSpeeds = {{{1200, B1200},
                                                             {2400, B2400},
                                                             {4800, B4800},
                                                             {9600, B9600},
                                                             {19200, B19200},
                                                             {38400, B38400},
                                                             {57600, B57600},
                                                             {115200, B115200}}};

constexpr std::array<std::pair<int, tcflag_t>, 4> kCharacterSizes = {
    {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}}};

}  // namespace

std::optional<speed_t> termiosSpeed(int baud) {
    for (const auto& [rate, speed] : kSpeeds) {
        if (rate == baud)
            return speed;
    }
    return std::nullopt;
}

int baudOf(speed_t speed) {
    for (const auto& [rate, constant] : kSpeeds) {
        if (constant == speed)
            return rate;
    }
    return 0;
}

LineSettings lineSettingsOf(const termios& tio) {
    LineSettings settings;
    settings.baud = baudOf(cfgetospeed(&tio));
    for (const auto& [bits, size] : kCharacterSizes) {
        if ((tio.c_cflag & CSIZE) == size)
            settings.dataBits = bits;
    }
    if (!(tio.c_cflag & PARENB)) {
        settings.parity = Parity::None;
    } else if (tio.c_cflag & CMSPAR) {
        settings.parity = (tio.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
    } else {
        settings.parity = (tio.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    }
    settings.stopBits = (tio.c_cflag & CSTOPB) ? StopBits::Two : StopBits::One;
    return settings;
}

bool makeRaw(termios& tio, const LineSettings& settings) {
    const auto speed = termiosSpeed(settings.baud);
    if (!speed) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    for (const auto& [bits, size] : kCharacterSizes) {
        if (bits == settings.dataBits)
            tio.c_cflag |= size;
    }
    switch (settings.parity) {
        case Parity::None:
            break;
        case Parity::Even:
            tio.c_cflag |= PARENB;
            break;
        case Parity::Odd:
            tio.c_cflag |= PARENB | PARODD;
            break;
        case Parity::Mark:
            tio.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            tio.c_cflag |= PARENB | CMSPAR;
            break;
    }
    if (settings.stopBits != StopBits::One) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, *speed);
    cfsetospeed(&tio, *speed);
    return true;
}

}  // namespace kelvane
