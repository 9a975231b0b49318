// Running the real programs from a test: a child process with its own
// working directory and environment, its standard output captured.
//
// Entry points:
//   process_start(args, dir, env)   start a child; env entries are "NAME=value"
//                                   added to (or replacing) this environment
//   process_wait(child, timeout)    exit status, or -1 on timeout (child killed)
//   process_run(args, dir, env)     both of the above, with a 60 s timeout
//   process_output(child)           what the child wrote on stdout so far
//
// Standard error is collected apart, in `errors`.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct Child {
    pid_t pid = -1;
    int stdout_fd = -1;
    int stderr_fd = -1;
    std::string output;
    std::string errors;
};

Child process_start(const std::vector<std::string>& args, const std::string& dir,
                    const std::vector<std::string>& env = {});
int process_wait(Child& child, int timeout_ms);
int process_run(const std::vector<std::string>& args, const std::string& dir,
                const std::vector<std::string>& env = {}, std::string* output = nullptr,
                std::string* errors = nullptr);
const std::string& process_output(Child& child);
