// A program started as a child process for end-to-end tests: its standard output on
// a pipe, read line by line; its standard error in a file. The destructor always
// ends it. Waits have generous limits that guard against a hanging program; no
// test measures them.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace kelvane::testing {

inline std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ChildProcess {
  public:
    // Qt programs run offscreen: the tests need no display.
    ChildProcess(const std::string& program, std::vector<std::string> arguments) {
        errPath_ = "/tmp/kelvane-test-" + std::to_string(getpid()) + "-" +
                   std::to_string(counter_++) + ".err";
        int out[2];
        int in[2];
        if (pipe(out) != 0 || pipe(in) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            dup2(in[0], STDIN_FILENO);
            ::close(in[0]);
            ::close(in[1]);
            dup2(out[1], STDOUT_FILENO);
            const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::string path = program;
            std::vector<char*> argv{path.data()};
            for (std::string& argument : arguments) {
                argv.push_back(argument.data());
            }
            argv.push_back(nullptr);
            execv(path.c_str(), argv.data());
            _exit(127);
        }
        ::close(out[1]);
        ::close(in[0]);
        out_ = out[0];
        in_ = in[1];
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
        if (in_ >= 0) {
            ::close(in_);
        }
        unlink(errPath_.c_str());
    }

    // The next line of standard output; empty when none comes within `limit`.
    std::string nextLine(std::chrono::seconds limit = std::chrono::seconds(30)) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (out_ >= 0 && std::chrono::steady_clock::now() < deadline) {
            pollfd waiting{out_, POLLIN, 0};
            if (poll(&waiting, 1, 100) <= 0) {
                continue;
            }
            char c;
            if (::read(out_, &c, 1) != 1 || c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }
    // Lines up to and including `last`, or all that came before the output stopped.
    std::vector<std::string> linesUntil(const std::string& last) {
        std::vector<std::string> lines;
        for (std::string line = nextLine(); !line.empty(); line = nextLine()) {
            lines.push_back(line);
            if (line == last) {
                break;
            }
        }
        return lines;
    }
    // Everything the program writes until it exits.
    std::string allOutput() {
        std::string text;
        char chunk[512];
        ssize_t got;
        while ((got = ::read(out_, chunk, sizeof chunk)) > 0) {
            text.append(chunk, static_cast<std::size_t>(got));
        }
        return text;
    }
    std::string errors() const { return readFile(errPath_); }
    // Text for the program's standard input (a pipe; nothing else writes to it).
    void send(const std::string& text) {
        signal(SIGPIPE, SIG_IGN);  // a program that has ended is seen by waitForExit
        if (in_ >= 0 && ::write(in_, text.data(), text.size()) < 0) {
            ::close(in_);
            in_ = -1;
        }
    }
    // Whether the program has ended; its status stays for waitForExit.
    bool ended() {
        int status = 0;
        if (!exited_ && waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return exited_;
    }

    // Sends a signal and returns the exit status (128 + signal when killed by one),
    // or -1 when the program has not ended within five seconds.
    int stop(int signal) {
        kill(pid_, signal);
        return waitForExit();
    }
    int waitForExit() {
        if (exited_) {
            return status_;
        }
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

  private:
    static inline int counter_ = 0;
    pid_t pid_ = -1;
    int out_ = -1;
    int in_ = -1;
    bool exited_ = false;
    int status_ = -1;
    std::string errPath_;
};

}  // namespace kelvane::testing
