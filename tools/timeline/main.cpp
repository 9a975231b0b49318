// timeline_compare FILE.mod... [--ticks N] [--loops N] [--list]
// For each module, steps our engine and the peer player over the song and
// prints where their row timelines first differ (or that they agree).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tools/timeline/timeline.h"

int main(int argc, char** argv)
{
    int32_t max_ticks = 30000;
    bool list = false;
    int32_t loops = 0;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc)
            max_ticks = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--loops") == 0 && i + 1 < argc)
            loops = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--list") == 0)
            list = true;
        else
            files.push_back(argv[i]);
    }
    int failures = 0;
    for (const char* f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::vector<uint8_t> image(std::istreambuf_iterator<char>(in), {});
        const std::vector<TimelineRow> ours = our_timeline(image, max_ticks);
        const std::vector<TimelineRow> peer = peer_timeline(image, max_ticks, loops);
        std::string report;
        const bool same = compare_timelines(ours, peer, report);
        int64_t ours_ticks = 0, peer_ticks = 0;
        for (const TimelineRow& r : peer)
            peer_ticks += r.ticks;
        for (size_t i = 0; i < ours.size() && i < peer.size(); ++i)
            ours_ticks += ours[i].ticks;
        std::printf("%s: %s; peer song %zu rows, %lld ticks (ours over those rows %lld)\n", f, report.c_str(),
                    peer.size(), static_cast<long long>(peer_ticks), static_cast<long long>(ours_ticks));
        if (list) {
            for (size_t i = 0; i < ours.size() || i < peer.size(); ++i) {
                auto show = [](const std::vector<TimelineRow>& v, size_t k) {
                    if (k >= v.size())
                        return std::string("-");
                    return std::to_string(v[k].order) + "/" + std::to_string(v[k].row) + " x" +
                           std::to_string(v[k].ticks) + " t" + std::to_string(v[k].tempo);
                };
                std::printf("  %5zu  %-20s %s\n", i, show(ours, i).c_str(), show(peer, i).c_str());
                if (i > peer.size() + 8)
                    break;
            }
        }
        failures += !same;
    }
    return failures ? 1 : 0;
}
