// Synthesising short sounds from notes, and writing them as WAV files.
#include "art.h"

#include <algorithm>
#include <cmath>

namespace lexart {

std::vector<int16_t> SynthesiseSamples(const Sound& sound) {
    const double pi = 3.14159265358979323846;
    double endMs = 0;
    for (const Note& n : sound.notes) endMs = std::max(endMs, n.startMs + n.lengthMs);
    size_t count = static_cast<size_t>(std::ceil(endMs * sound.rate / 1000.0));

    std::vector<double> mix(count, 0.0);
    for (const Note& n : sound.notes) {
        size_t first = static_cast<size_t>(std::ceil(n.startMs * sound.rate / 1000.0));
        for (size_t i = first; i < count; ++i) {
            double t = static_cast<double>(i) / sound.rate - n.startMs / 1000.0;  // seconds into the note
            double left = n.lengthMs / 1000.0 - t;                              // seconds still to sound
            if (left <= 0) break;
            // Linear attack, exponential decay, and a linear release that reaches
            // zero at the note's end so that nothing clicks when it stops.
            double envelope = std::exp(-t * 1000.0 / sound.decayMs);
            if (sound.attackMs > 0) envelope *= std::min(1.0, t * 1000.0 / sound.attackMs);
            if (sound.releaseMs > 0) envelope *= std::min(1.0, left * 1000.0 / sound.releaseMs);
            double v = 0;
            for (const Partial& p : sound.partials)
                v += p.level * std::sin(2 * pi * n.frequency * p.multiple * t);
            mix[i] += n.level * envelope * v;
        }
    }

    double loudest = 0;
    for (double v : mix) loudest = std::max(loudest, std::fabs(v));
    double scale = loudest > 0 ? sound.peak * 32767.0 / loudest : 0.0;
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(std::lround(std::clamp(mix[i] * scale, -32767.0, 32767.0)));
    return samples;
}

std::vector<uint8_t> WriteWav(const std::vector<int16_t>& samples, int rate) {
    std::vector<uint8_t> out;
    auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    text("RIFF");
    put(36 + dataSize, 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);                              // size of the format chunk
    put(1, 2);                               // PCM
    put(1, 2);                               // channels
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate) * 2, 4); // bytes per second
    put(2, 2);                               // bytes per sample frame
    put(16, 2);                              // bits per sample
    text("data");
    put(dataSize, 4);
    for (int16_t s : samples) put(static_cast<uint16_t>(s), 2);
    return out;
}

}  // namespace lexart
