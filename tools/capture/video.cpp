#include "tools/capture/video.h"

#include "core/sound_rates.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

// Over twice as fast as "medium", which took longer than the show lasts on
// two cores; CRF 12 (with "medium", 16) keeps the quality, in a larger file.
const char VIDEO_PRESET[] = "superfast";

namespace {

// The sound is a trickle beside the frames; a deep pipe lets it run ahead
// of ffmpeg's reading by seconds, so neither stream waits on the other.
constexpr int SOUND_PIPE_BYTES = 1 << 20;

// Frames and samples go to ffmpeg as they are in memory, so their formats
// name the host's byte order. 0xAARRGGBB words are the bytes B, G, R, A on
// a little-endian host and A, R, G, B on a big-endian one; the alpha byte
// is not shown, as on the display.
constexpr bool LITTLE_ENDIAN_HOST = std::endian::native == std::endian::little;
constexpr const char* PIXEL_FORMAT = LITTLE_ENDIAN_HOST ? "bgr0" : "0rgb";
constexpr const char* SAMPLE_FORMAT = LITTLE_ENDIAN_HOST ? "s16le" : "s16be";

bool write_all(VideoOut& v, int fd, const void* data, size_t size)
{
    if (v.error)
        return false;
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            v.error = n < 0 ? errno : EIO;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

// Hand queued frames to ffmpeg while it takes them, without waiting; with
// `until` set, wait until no more than that many are queued.
void pump(VideoOut& v, size_t until)
{
    while (!v.error && !v.queue.empty()) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(v.queue.front().data());
        const size_t size = v.queue.front().size() * sizeof(uint32_t);
        const ssize_t n = write(v.picture_fd, bytes + v.queue_sent, size - v.queue_sent);
        if (n > 0) {
            v.queue_sent += size_t(n);
            if (v.queue_sent == size) {
                v.spare.push_back(std::move(v.queue.front()));
                v.queue.pop_front();
                v.queue_sent = 0;
            }
        } else if (n < 0 && errno == EAGAIN) {
            if (v.queue.size() <= until)
                return;
            pollfd ready{v.picture_fd, POLLOUT, 0};
            poll(&ready, 1, -1);
        } else if (!(n < 0 && errno == EINTR)) {
            v.error = n < 0 ? errno : EIO;
        }
    }
}

void close_fd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// ffmpeg's status as words.
std::string exit_text(int status)
{
    if (WIFEXITED(status))
        return "ffmpeg failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    if (WIFSIGNALED(status))
        return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    return "ffmpeg failed";
}

}  // namespace

bool video_ffmpeg_found() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

std::string video_open(VideoOut& v, const char* path, int width, int height, int fps)
{
    if (std::string why = output_begin(v.file, path); !why.empty())
        return why;
    int picture[2], sound[2];
    if (pipe2(picture, O_CLOEXEC) != 0)
        return std::strerror(errno);
    if (pipe2(sound, O_CLOEXEC) != 0) {
        const int error = errno;
        close(picture[0]);
        close(picture[1]);
        return std::strerror(error);
    }
    // Descriptor 3 must be a copy, not the pipe itself: dup2 onto itself
    // would keep close-on-exec.
    if (sound[0] == 3) {
        const int moved = fcntl(sound[0], F_DUPFD_CLOEXEC, 4);
        close(sound[0]);
        sound[0] = moved;
    }
    fcntl(sound[1], F_SETPIPE_SZ, SOUND_PIPE_BYTES);

    // Both inputs are raw with their layout given, so ffmpeg need not read
    // ahead to learn it: reading seconds of sound ahead would wait for frames
    // that wait for it. "file:" keeps a name that starts with '-' or holds
    // ':' a file name.
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    const std::string sound_rate = std::to_string(SAMPLE_RATE);
    const std::string target = "file:" + v.file.writing;
    const char* argv[] = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                          "-probesize", "32", "-analyzeduration", "0",
                          "-f", "rawvideo", "-pix_fmt", PIXEL_FORMAT, "-s", size.c_str(), "-framerate", rate.c_str(),
                          "-i", "pipe:0",
                          "-probesize", "32", "-analyzeduration", "0",
                          "-f", SAMPLE_FORMAT, "-ar", sound_rate.c_str(), "-ac", "2", "-i", "pipe:3",
                          "-map", "0:v", "-map", "1:a",
                          "-vf", "scale=1280:960:flags=neighbor",
                          "-c:v", "libx264", "-preset", VIDEO_PRESET, "-tune", "animation", "-crf", "12",
                          "-pix_fmt", "yuv420p",
                          "-c:a", "aac", "-b:a", "192k",
                          target.c_str(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, picture[0], 0);
    posix_spawn_file_actions_adddup2(&actions, sound[0], 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    const int failed =
        posix_spawnp(&v.ffmpeg, "ffmpeg", &actions, &attributes, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(picture[0]);
    close(sound[0]);
    if (failed != 0) {
        close(picture[1]);
        close(sound[1]);
        v.ffmpeg = -1;
        output_discard(v.file);
        return "cannot start ffmpeg: " + std::string(std::strerror(failed));
    }
    v.picture_fd = picture[1];
    v.sound_fd = sound[1];
    fcntl(v.picture_fd, F_SETFL, O_NONBLOCK);
    return "";
}

bool video_frame(VideoOut& v, std::span<const uint32_t> pixels)
{
    if (v.error)
        return false;
    std::vector<uint32_t> frame;
    if (!v.spare.empty()) {
        frame = std::move(v.spare.back());
        v.spare.pop_back();
    }
    frame.assign(pixels.begin(), pixels.end());
    v.queue.push_back(std::move(frame));
    pump(v, VIDEO_QUEUE_FRAMES);
    return !v.error;
}

bool video_sound(VideoOut& v, std::span<const int16_t> samples)
{
    return write_all(v, v.sound_fd, samples.data(), samples.size_bytes());
}

std::string video_close(VideoOut& v)
{
    pump(v, 0);
    close_fd(v.picture_fd);
    close_fd(v.sound_fd);
    int status = 0;
    while (v.ffmpeg > 0 && waitpid(v.ffmpeg, &status, 0) < 0 && errno == EINTR) {
    }
    v.ffmpeg = -1;
    std::string why;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        why = exit_text(status);
    else if (v.error)
        why = std::strerror(v.error);
    if (why.empty())
        why = output_commit(v.file);
    else
        output_discard(v.file);
    return why;
}
