#include "tests/support/Processes.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

[[noreturn]] void Exec(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const auto& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

// Reads the descriptors until each is at its end, all at once so that no writer blocks.
void ReadAll(std::vector<std::pair<int, std::string*>> from) {
    while (!from.empty()) {
        std::vector<pollfd> ready;
        for (const auto& source : from) {
            ready.push_back({source.first, POLLIN, 0});
        }
        ::poll(ready.data(), ready.size(), -1);
        for (std::size_t i = ready.size(); i-- > 0;) {
            if (ready[i].revents == 0) {
                continue;
            }
            char chunk[4096];
            const ssize_t got = ::read(ready[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                from[i].second->append(chunk, static_cast<std::size_t>(got));
                continue;
            }
            ::close(ready[i].fd); // at its end; a terminal whose program left says EIO
            from.erase(from.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

int Wait(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

Finished RunToEnd(const std::vector<std::string>& command, const std::string& input,
                  const std::filesystem::path& output) {
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(output.empty() ? out[1] : ::open(output.c_str(), O_WRONLY), STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
            ::close(fd);
        }
        Exec(command);
    }
    for (const int fd : {in[0], out[1], err[1]}) {
        ::close(fd);
    }
    (void)!::write(in[1], input.data(), input.size()); // small: fits the pipe
    ::close(in[1]);
    Finished finished;
    ReadAll({{out[0], &finished.out}, {err[0], &finished.err}});
    finished.status = Wait(child);
    return finished;
}

Finished RunOnTerminal(const std::vector<std::string>& command, const std::string& typed) {
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        Exec(command);
    }
    (void)!::write(terminal, typed.data(), typed.size());
    Finished finished;
    ReadAll({{terminal, &finished.out}});
    finished.status = Wait(child);
    return finished;
}

ChildProcess::ChildProcess(const std::vector<std::string>& command,
                           const std::filesystem::path& output) {
    pid_ = ::fork();
    if (pid_ == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(fd, STDERR_FILENO);
        Exec(command);
    }
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    Stop();
    pid_ = other.pid_;
    other.pid_ = -1;
    return *this;
}

void ChildProcess::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

bool PcscDaemon::Start() {
    const std::filesystem::path socket = "/run/pcscd/pcscd.comm";
    std::error_code ignored;
    std::filesystem::remove_all("/run/pcscd", ignored); // left behind by a daemon that was killed
    if (::geteuid() != 0 || ::access("/usr/sbin/pcscd", X_OK) != 0) {
        return false; // it makes its socket in /run
    }
    process_ = ChildProcess({"/usr/sbin/pcscd", "--foreground"}, logFile_);
    for (int i = 0; i < 200; ++i) {
        if (std::filesystem::exists(socket)) {
            // The readers of its configuration are loaded just after the socket appears.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    process_.Stop();
    return false;
}
