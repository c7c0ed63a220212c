#include "tests/support/Processes.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ChildProcess::ChildProcess(const std::vector<std::string>& command,
                           const std::filesystem::path& output) {
    std::vector<char*> argv;
    for (const auto& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(fd, STDERR_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
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
    if (::access("/usr/sbin/pcscd", X_OK) != 0) {
        return false;
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
