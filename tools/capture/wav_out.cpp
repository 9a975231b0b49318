#include "tools/capture/wav_out.h"

#include "core/sound_rates.h"

#include <cerrno>
#include <cstring>

namespace {

void write_samples(void* context, std::span<const int16_t> samples)
{
    WavWriter& writer = *static_cast<WavWriter*>(context);
    wav_write(writer, samples.data(), int32_t(samples.size() / 2));
}

}  // namespace

std::string wav_out_open(WavOut& w, const char* path, bool cut, int32_t fps)
{
    if (std::string why = output_begin(w.file, path); !why.empty())
        return why;
    if (!wav_open(w.writer, w.file.writing.c_str(), SAMPLE_RATE)) {
        const std::string why = std::strerror(errno);
        output_discard(w.file);
        return why;
    }
    w.cut = cut;
    w.sound.fps = fps;
    w.sound.keep_tail = true;
    return "";
}

void wav_out_add(WavOut& w, std::span<const int16_t> samples)
{
    if (w.cut)
        sound_cut_add(w.sound, samples);
    else
        write_samples(&w.writer, samples);
}

void wav_out_frame(WavOut& w, int64_t k, bool written)
{
    if (w.cut)
        sound_cut_frame(w.sound, k, written, SoundSink{write_samples, &w.writer});
}

std::string wav_out_failed(const WavOut& w)
{
    return w.writer.failed ? std::strerror(w.writer.error ? w.writer.error : EIO) : "";
}

std::string wav_out_close(WavOut& w, bool keep)
{
    const bool closed = wav_close(w.writer);
    if (!keep) {
        output_discard(w.file);
        return "";
    }
    if (!closed) {
        output_discard(w.file);
        return std::strerror(w.writer.error ? w.writer.error : EIO);
    }
    return output_commit(w.file);
}
