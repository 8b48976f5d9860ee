#pragma once

// Runs a program as a child process for tests that need real processes.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velloq::testing {

class ChildProcess {
public:
    // Starts `argv` with `environment` added to this process's environment and
    // `input` on its standard input; its output goes to private files.
    ChildProcess(const std::vector<std::string>& argv,
                 const std::map<std::string, std::string>& environment,
                 const std::string& input = {});
    ~ChildProcess(); // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit status once the child ends within `limit`; none if it is still running.
    std::optional<int> wait(std::chrono::milliseconds limit);
    bool running();
    void signal(int number);
    std::string output() const;
    std::string errors() const;

private:
    int pid_ = -1;
    std::optional<int> status_;
    std::string outPath_;
    std::string errPath_;
};

} // namespace velloq::testing
