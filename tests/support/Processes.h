#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// A program the test started; stopped (SIGTERM, then waited for) when it goes.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const std::vector<std::string>& command, const std::filesystem::path& output);
    ~ChildProcess() { Stop(); }
    ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    void Stop();

private:
    pid_t pid_ = -1;
};

// What a program that ran to its end left: its exit status and what it wrote.
struct Finished {
    int status = -1; // the exit status; -1 when it did not exit by itself
    std::string out;
    std::string err;
};

// Runs the command to its end with the text as its standard input; its standard output goes
// to the file when one is given.
Finished RunToEnd(const std::vector<std::string>& command, const std::string& input = {},
                  const std::filesystem::path& output = {});
// Runs the command on a pseudo-terminal: the text is typed on it, and all it shows is in out.
Finished RunOnTerminal(const std::vector<std::string>& command, const std::string& typed);

// The PC/SC daemon in the foreground, with the virtual reader driver it loads from its
// configuration. Start() fails when the daemon is not installed or does not come up.
class PcscDaemon {
public:
    explicit PcscDaemon(std::filesystem::path logFile) : logFile_(std::move(logFile)) {}
    bool Start();
    void Stop() { process_.Stop(); }
    pid_t Pid() const { return process_.Pid(); }

private:
    std::filesystem::path logFile_;
    ChildProcess process_;
};
