#include "platform/linux/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/termios_line.h"

namespace kelvane {

namespace {

// The write time-out of the line: a frame that cannot leave within it fails.
constexpr Micros kWriteTimeout{100'000};

}  // namespace

bool PosixSerialPort::open(const std::string& deviceName) {
    close();
    const int fd = ::open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openFailure_ = (errno == EACCES || errno == EPERM) ? OpenFailure::PermissionDenied
                       : errno == EBUSY                    ? OpenFailure::Busy
                                                           : OpenFailure::Absent;
        return false;
    }
    if (!isatty(fd)) {
        ::close(fd);
        openFailure_ = OpenFailure::Absent;  // not a serial device at all
        return false;
    }
    // TIOCEXCL keeps other programs out (root ignores it); the advisory lock also
    // refuses a second Kelvane program run as root.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        openFailure_ = OpenFailure::Busy;
        return false;
    }
    openFailure_ = OpenFailure::None;
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
    // A closed port's last open failed for no reason anyone can act on any more.
    openFailure_ = OpenFailure::None;
}

std::optional<LineSettings> PosixSerialPort::currentSettings() {
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) {
        return std::nullopt;
    }
    return lineSettingsOf(tio);
}

bool PosixSerialPort::applySettings(const LineSettings& settings) {
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0 || !makeRaw(tio, settings)) {
        return false;
    }
    return tcsetattr(fd_, TCSANOW, &tio) == 0;
}

int PosixSerialPort::millisecondsUntil(Micros deadline) const {
    const auto left = deadline - calls_.now();
    return left.count() <= 0 ? 0 : static_cast<int>((left.count() + 999) / 1000);
}

std::optional<std::uint8_t> PosixSerialPort::readByteWithin(Micros wait) {
    if (fd_ < 0 || hungUp_) {
        return std::nullopt;
    }
    // One wait in all: an interrupted poll() or a byte that was not there after all
    // (EAGAIN) goes on waiting for what is left, never a fresh wait.
    const Micros deadline = calls_.now() + wait;
    for (;;) {
        pollfd waiting{fd_, POLLIN, 0};
        const int ready = calls_.poll(&waiting, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;  // 100 ms of silence (or a poll failure: treated alike)
        }
        if (waiting.revents & POLLIN) {
            std::uint8_t byte = 0;
            const ssize_t got = calls_.read(fd_, &byte, 1);
            if (got == 1) {
                return byte;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                if (millisecondsUntil(deadline) == 0) {
                    return std::nullopt;
                }
                continue;
            }
        }
        // POLLHUP, POLLERR, end of file or EIO: the adapter is gone.
        hungUp_ = true;
        return std::nullopt;
    }
}

bool PosixSerialPort::write(const std::uint8_t* bytes, std::size_t count) {
    if (fd_ < 0 || hungUp_) {
        return false;
    }
    // The whole frame has one budget, as the line's write timeout gives it.
    const Micros deadline = calls_.now() + kWriteTimeout;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t wrote = calls_.write(fd_, bytes + done, count - done);
        if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
            continue;
        }
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote < 0 && errno == EAGAIN) {
            // Wait for room within what is left of the budget; a signal only shortens it.
            int ready = -1;
            while (ready < 0) {
                const int left = millisecondsUntil(deadline);
                if (left == 0) {
                    return false;
                }
                pollfd waiting{fd_, POLLOUT, 0};
                ready = calls_.poll(&waiting, 1, left);
                if (ready < 0 && errno != EINTR) {
                    return false;
                }
                if (ready > 0 && !(waiting.revents & POLLOUT)) {
                    return false;
                }
            }
            if (ready == 0) {
                return false;
            }
            continue;
        }
        if (wrote < 0 && (errno == EIO || errno == ENXIO)) {
            hungUp_ = true;
        }
        return false;
    }
    return true;
}

Micros PosixSerialPort::now() const {
    return calls_.now();
}

}  // namespace kelvane
