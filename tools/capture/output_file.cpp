#include "tools/capture/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string output_begin(OutputFile& out, const std::string& path)
{
    out.path = path;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return std::strerror(EISDIR);
        if (!S_ISREG(st.st_mode)) {
            out.writing = path;
            return "";
        }
    }
    // Hidden, beside the file, with its extension kept (ffmpeg picks the
    // format by it).
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    out.writing = folder + ".capture-" + std::to_string(getpid()) + "-" + name;
    const int fd = open(out.writing.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        out.writing.clear();
        return std::strerror(error);
    }
    close(fd);
    return "";
}

std::string output_commit(OutputFile& out)
{
    if (out.writing.empty() || out.writing == out.path)
        return "";
    if (std::rename(out.writing.c_str(), out.path.c_str()) != 0) {
        const int error = errno;
        output_discard(out);
        return std::strerror(error);
    }
    out.writing.clear();
    return "";
}

void output_discard(OutputFile& out)
{
    if (!out.writing.empty() && out.writing != out.path)
        std::remove(out.writing.c_str());
    out.writing.clear();
}

void output_report(const char* name, const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "%s: %s: %s\n", name, path.c_str(), why.c_str());
}
