#include "fakes/ChildProcess.h"

#include "fakes/TempDir.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velloq::testing {
namespace {

std::string makeTempFile() {
    char pattern[] = "/tmp/velloq-child-XXXXXX";
    const int fd = ::mkstemp(pattern);
    ::close(fd);
    return pattern;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& environment,
                           const std::string& input)
    : outPath_(makeTempFile()), errPath_(makeTempFile()) {
    const std::string inPath = makeTempFile();
    std::ofstream(inPath, std::ios::binary) << input;
    // Open everything before forking: the child must not race the unlink below.
    const int in = ::open(inPath.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(outPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const int err = ::open(errPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    ::unlink(inPath.c_str());
    pid_ = ::fork();
    if (pid_ == 0) {
        for (const auto& [name, value] : environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in);
    ::close(out);
    ::close(err);
}

ChildProcess::~ChildProcess() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        wait(std::chrono::seconds(5));
    }
    ::unlink(outPath_.c_str());
    ::unlink(errPath_.c_str());
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!status_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

bool ChildProcess::running() {
    return pid_ > 0 && !wait(std::chrono::milliseconds(0));
}

void ChildProcess::signal(int number) {
    if (running()) {
        ::kill(pid_, number);
    }
}

std::string ChildProcess::output() const {
    return fileContents(outPath_);
}
std::string ChildProcess::errors() const {
    return fileContents(errPath_);
}

} // namespace velloq::testing
