#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "link/termios_line.h"

namespace kelvane {

namespace {

constexpr int kWriteTimeoutMs = 100;

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
    return lineSettingsOf(tio);
}

bool PosixSerialPort::applySettings(const LineSettings& settings) {
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0 || !makeRaw(tio, settings)) {
        return false;
    }
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
