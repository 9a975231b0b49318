#include "sound/mixer/sdl_audio.h"

#include "sound/mixer/mixer.h"
#include "sound/mixer/sound_driver.h"

#include <SDL.h>

#include <atomic>
#include <cstring>

namespace {

struct SdlAudio {
    SDL_AudioSpec request{};
    SDL_AudioSpec granted{};
    SdlAudioCallback callback = nullptr;
    // Set by sdl_audio_play. The browser's SDL asks for buffers after every
    // animation frame even while the device is paused, and drops them.
    std::atomic<bool> playing{false};
};

SdlAudio sdl_audio;

// The mixer adds into the buffer, and not every SDL hands it over silent:
// the browser's holds the previous buffer's samples. A paused device's
// buffer is never heard, so the music must not move on for it.
void sdl_audio_fill(void* user, Uint8* stream, int length)
{
    std::memset(stream, 0, size_t(length));
    if (sdl_audio.playing.load(std::memory_order_acquire))
        sdl_audio.callback(user, stream, length);
}

void sdl_audio_nothing() {}

void sdl_audio_close() { SDL_CloseAudio(); }

}  // namespace

int32_t sdl_audio_open(int32_t rate, int32_t buffer_frames, SdlAudioCallback callback)
{
    sound_driver.output_rate = rate;
    SDL_AudioSpec& request = sdl_audio.request;
    request = SDL_AudioSpec{};
    request.freq = rate;
    request.format = AUDIO_S16SYS;
    request.channels = 2;
    request.samples = Uint16(buffer_frames);
    sdl_audio.callback = callback;
    sdl_audio.playing = false;
    request.callback = sdl_audio_fill;
    request.userdata = nullptr;
    if (SDL_OpenAudio(&request, &sdl_audio.granted) < 0)
        return 0;
    sound_driver.buffer_frames = sdl_audio.granted.samples;
    return 1;
}

int32_t sdl_audio_install(int32_t rate, int32_t buffer_frames, SdlAudioCallback callback)
{
    SoundDriver& d = sound_driver;
    if (!sdl_audio_open(rate, buffer_frames, callback)) {
        d.error_text = "SDL audio error";
        return 0;
    }
    d.init = mixer_init;
    d.start = sdl_audio_nothing;  // playing starts when the player un-pauses the device
    d.stop = sdl_audio_nothing;
    d.close = sdl_audio_close;
    mixer_fill_driver(d);
    d.name = "SDL audio";
    return 1;
}

void sdl_audio_play()
{
    sdl_audio.playing.store(true, std::memory_order_release);
    SDL_PauseAudio(0);
}
