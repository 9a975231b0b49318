#include "tests/support/process.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

void drain(int fd, std::string& text)
{
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return;
        text.append(buffer, size_t(got));
    }
}

}  // namespace

Child process_start(const std::vector<std::string>& args, const std::string& dir,
                    const std::vector<std::string>& env)
{
    std::vector<std::string> environment;
    for (char** e = environ; *e; e++) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& extra : env)
            replaced |= entry.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0;
        if (!replaced)
            environment.push_back(entry);
    }
    environment.insert(environment.end(), env.begin(), env.end());

    int out_fds[2], err_fds[2];
    if (pipe(out_fds) != 0 || pipe(err_fds) != 0)
        return {};
    Child child;
    child.pid = fork();
    if (child.pid == 0) {
        dup2(out_fds[1], STDOUT_FILENO);
        dup2(err_fds[1], STDERR_FILENO);
        for (int fd : {out_fds[0], out_fds[1], err_fds[0], err_fds[1]})
            close(fd);
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        std::vector<char*> argv, envp;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (const std::string& e : environment)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out_fds[1]);
    close(err_fds[1]);
    child.stdout_fd = out_fds[0];
    child.stderr_fd = err_fds[0];
    fcntl(child.stdout_fd, F_SETFL, O_NONBLOCK);
    fcntl(child.stderr_fd, F_SETFL, O_NONBLOCK);
    return child;
}

const std::string& process_output(Child& child)
{
    if (child.stdout_fd >= 0)
        drain(child.stdout_fd, child.output);
    if (child.stderr_fd >= 0)
        drain(child.stderr_fd, child.errors);
    return child.output;
}

int process_wait(Child& child, int timeout_ms)
{
    if (child.pid <= 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    int status = 0;
    for (;;) {
        process_output(child);
        const pid_t done = waitpid(child.pid, &status, WNOHANG);
        if (done == child.pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
            close(child.stdout_fd);
            close(child.stderr_fd);
            child.stdout_fd = child.stderr_fd = -1;
            child.pid = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    process_output(child);
    close(child.stdout_fd);
    close(child.stderr_fd);
    child.stdout_fd = child.stderr_fd = -1;
    child.pid = -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

int process_run(const std::vector<std::string>& args, const std::string& dir,
                const std::vector<std::string>& env, std::string* output, std::string* errors)
{
    Child child = process_start(args, dir, env);
    const int status = process_wait(child, 60000);
    if (output)
        *output = child.output;
    if (errors)
        *errors = child.errors;
    return status;
}
