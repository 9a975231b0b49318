// Running the real programs from a test: a child process with its own
// working directory and environment, its standard output captured.
//
// Entry points:
//   process_start(args, dir, env)   start a child; env entries are "NAME=value"
//                                   added to (or replacing) this environment
//   process_wait(child, timeout)    exit status, or -1 on timeout (child killed)
//   process_run(args, dir, env)     both of the above, with a 60 s timeout
//   process_output(child)           what the child wrote on stdout so far
//   process_emulator()              what a program of this build is started
//                                   behind: a cross build's emulator and its
//                                   arguments, nothing in a native build
//   process_slowdown()              how much longer things take under it: 10,
//                                   or 1 in a native build
//
// Standard error is collected apart, in `errors`. A program whose file is in
// the build directory (a link to one too) is started through
// process_emulator(); the machine's own tools are started as they are. Timeouts are given for native speed and
// process_wait stretches them by process_slowdown().
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
std::vector<std::string> process_emulator();
int process_slowdown();
