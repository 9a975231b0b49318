#include "tools/capture/video.h"

#include "tools/common/wav_writer.h"

#include <cstdlib>
#include <string>

namespace {

// One shell word, whatever the path holds.
std::string quoted(const std::string& text)
{
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

bool video_ffmpeg_found() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

bool video_open(VideoOut& v, const char* path, int width, int height, int fps)
{
    v.path = path;
    v.picture = v.path + ".picture.mp4";
    v.width = width;
    v.height = height;
    // Little-endian 0xAARRGGBB words are the bytes B, G, R, A; the alpha byte
    // is not shown, as on the display.
    const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt bgr0 -s " +
                                std::to_string(width) + "x" + std::to_string(height) + " -framerate " +
                                std::to_string(fps) +
                                " -i - -vf scale=1280:960:flags=neighbor -c:v libx264 -preset medium -crf 16"
                                " -pix_fmt yuv420p " +
                                quoted(v.picture);
    v.pipe = popen(command.c_str(), "w");
    return v.pipe != nullptr;
}

void video_frame(VideoOut& v, std::span<const uint32_t> pixels)
{
    if (v.failed || !v.pipe)
        return;
    if (std::fwrite(pixels.data(), sizeof(uint32_t), pixels.size(), v.pipe) != pixels.size())
        v.failed = true;
}

bool video_close(VideoOut& v, const int16_t* sound, int64_t frames)
{
    if (!v.pipe)
        return false;
    bool ok = pclose(v.pipe) == 0 && !v.failed;
    v.pipe = nullptr;
    const std::string wav = v.path + ".sound.wav";
    if (ok) {
        WavWriter w;
        ok = wav_open(w, wav.c_str(), 44100);
        if (ok) {
            for (int64_t done = 0; done < frames;) {
                const int32_t n = int32_t(frames - done < 65536 ? frames - done : 65536);
                wav_write(w, sound + 2 * done, n);
                done += n;
            }
            ok = wav_close(w);
        }
    }
    if (ok) {
        const std::string command = "ffmpeg -loglevel error -y -i " + quoted(v.picture) + " -i " +
                                    quoted(wav) + " -c:v copy -c:a aac -b:a 192k " + quoted(v.path);
        ok = std::system(command.c_str()) == 0;
    }
    std::remove(v.picture.c_str());
    std::remove(wav.c_str());
    return ok;
}
