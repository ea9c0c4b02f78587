#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace kelvane {

namespace {

constexpr int kWriteTimeoutMs = 100;

speed_t speedFor(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return 0;
    }
}

int baudFor(speed_t speed) {
    switch (speed) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        default:
            return 0;
    }
}

tcflag_t characterSize(int dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

}  // namespace

bool PosixSerialPort::open(const std::string& deviceName) {
    close();
    const int fd = ::open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // TIOCEXCL keeps other programs out (root ignores it); the advisory lock also
    // refuses a second Kelvane program run as root.
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    hungUp_ = false;
    return true;
}

void PosixSerialPort::close() {
    if (fd_ >= 0) {
        ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }
    fd_ = -1;
    hungUp_ = false;
}

std::optional<LineSettings> PosixSerialPort::currentSettings() {
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) {
        return std::nullopt;
    }
    LineSettings settings;
    settings.baud = baudFor(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
        case CS5:
            settings.dataBits = 5;
            break;
        case CS6:
            settings.dataBits = 6;
            break;
        case CS7:
            settings.dataBits = 7;
            break;
        default:
            settings.dataBits = 8;
            break;
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

bool PosixSerialPort::applySettings(const LineSettings& settings) {
    termios tio{};
    const speed_t speed = speedFor(settings.baud);
    if (fd_ < 0 || speed == 0 || tcgetattr(fd_, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | characterSize(settings.dataBits);
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
    // termios knows one or two stop bits; one and a half is sent as two.
    if (settings.stopBits != StopBits::One) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(fd_, TCSANOW, &tio) == 0;
}

std::optional<std::uint8_t> PosixSerialPort::readByte() {
    if (fd_ < 0 || hungUp_) {
        return std::nullopt;
    }
    pollfd waiting{fd_, POLLIN, 0};
    int ready;
    do {
        ready = poll(&waiting, 1, static_cast<int>(kReadTimeout.count() / 1000));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return std::nullopt;  // 100 ms of silence (or a poll failure: treated alike)
    }
    if (waiting.revents & POLLIN) {
        std::uint8_t byte = 0;
        const ssize_t got = ::read(fd_, &byte, 1);
        if (got == 1) {
            return byte;
        }
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            return std::nullopt;
        }
    }
    // POLLHUP, POLLERR, end of file or EIO: the adapter is gone.
    hungUp_ = true;
    return std::nullopt;
}

bool PosixSerialPort::write(const std::uint8_t* bytes, std::size_t count) {
    if (fd_ < 0 || hungUp_) {
        return false;
    }
    std::size_t done = 0;
    while (done < count) {
        const ssize_t wrote = ::write(fd_, bytes + done, count - done);
        if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
            continue;
        }
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote < 0 && errno == EAGAIN) {
            pollfd waiting{fd_, POLLOUT, 0};
            if (poll(&waiting, 1, kWriteTimeoutMs) > 0 && (waiting.revents & POLLOUT)) {
                continue;
            }
            return false;
        }
        if (wrote < 0 && (errno == EIO || errno == ENXIO)) {
            hungUp_ = true;
        }
        return false;
    }
    return true;
}

Micros PosixSerialPort::now() const {
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace kelvane
