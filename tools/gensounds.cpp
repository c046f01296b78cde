// Build-time tool: synthesises the four game sounds as RIFF WAVE files (PCM, 16-bit
// stereo, 44 100 Hz). Sizes are fixed: the game's sound files have always had these
// lengths, and the tests hold them to it.
//   gensounds OUTDIR
// writes OUTDIR/myscore.wav, yourscore.wav, robot.wav, conlost.wav. Deterministic.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

struct Stereo {
    std::vector<double> l, r;
    explicit Stereo(std::size_t frames) : l(frames), r(frames) {}
    std::size_t frames() const { return l.size(); }
};

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// A struck, bell-like note: a few partials, each dying away at its own pace.
void addBell(Stereo& s, double start, double hz, double len, double gain, double pan) {
    std::size_t from = static_cast<std::size_t>(start * kRate);
    std::size_t n = static_cast<std::size_t>(len * kRate);
    struct Partial {
        double mul, amp, decay;
    };
    static const Partial partials[] = {
        {1.0, 1.0, 3.0}, {2.0, 0.35, 5.0}, {3.0, 0.15, 8.0}, {4.01, 0.08, 11.0}};
    double gl = gain * std::cos(pan * kPi / 2), gr = gain * std::sin(pan * kPi / 2);
    for (std::size_t i = 0; i < n && from + i < s.frames(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double attack = std::min(1.0, t / 0.004);
        double v = 0;
        for (const auto& p : partials)
            v += p.amp * std::exp(-p.decay * t) * std::sin(2 * kPi * hz * p.mul * t);
        v *= attack;
        s.l[from + i] += v * gl;
        s.r[from + i] += v * gr;
    }
}

// A tone whose frequency follows `hzAt` (seconds since its start), with a soft envelope.
void addGlide(Stereo& s, double start, double len, const std::function<double(double)>& hzAt,
              double gain, double pan, double brightness) {
    std::size_t from = static_cast<std::size_t>(start * kRate);
    std::size_t n = static_cast<std::size_t>(len * kRate);
    double gl = gain * std::cos(pan * kPi / 2), gr = gain * std::sin(pan * kPi / 2);
    double phase = 0;
    for (std::size_t i = 0; i < n && from + i < s.frames(); ++i) {
        double t = static_cast<double>(i) / kRate;
        phase += 2 * kPi * hzAt(t) / kRate;
        double env = std::min({1.0, t / 0.01, (len - t) / 0.04});
        env = std::max(0.0, env);
        // A few odd harmonics give the tone an edge without harshness.
        double v =
            std::sin(phase) + brightness * (std::sin(3 * phase) / 3 + std::sin(5 * phase) / 6);
        s.l[from + i] += v * env * gl;
        s.r[from + i] += v * env * gr;
    }
}

// Scales to a peak of 70 % of full scale and fades both ends, so nothing clips or clicks.
std::vector<std::int16_t> finish(Stereo& s, double fadeIn, double fadeOut) {
    std::size_t n = s.frames();
    std::size_t in = static_cast<std::size_t>(fadeIn * kRate);
    std::size_t out = static_cast<std::size_t>(fadeOut * kRate);
    for (std::size_t i = 0; i < n; ++i) {
        double g = 1.0;
        if (i < in) g = std::min(g, static_cast<double>(i) / in);
        if (n - 1 - i < out) g = std::min(g, static_cast<double>(n - 1 - i) / out);
        g = g * g;  // quadratic fades sound smoother than linear ones
        s.l[i] *= g;
        s.r[i] *= g;
    }
    double peak = 1e-9;
    for (std::size_t i = 0; i < n; ++i) peak = std::max({peak, std::abs(s.l[i]), std::abs(s.r[i])});
    double scale = 0.7 * 32767.0 / peak;
    std::vector<std::int16_t> pcm(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        pcm[2 * i] = static_cast<std::int16_t>(std::lround(s.l[i] * scale));
        pcm[2 * i + 1] = static_cast<std::int16_t>(std::lround(s.r[i] * scale));
    }
    return pcm;
}

void put32(std::string& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put16(std::string& b, std::uint16_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>(v >> 8));
}

bool writeWave(const std::string& path, const std::vector<std::int16_t>& pcm) {
    std::uint32_t dataBytes = static_cast<std::uint32_t>(pcm.size() * 2);
    std::string b;
    b += "RIFF";
    put32(b, 36 + dataBytes);
    b += "WAVEfmt ";
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, 2);  // channels
    put32(b, kRate);
    put32(b, kRate * 4);  // bytes per second
    put16(b, 4);          // block align
    put16(b, 16);         // bits per sample
    b += "data";
    put32(b, dataBytes);
    for (std::int16_t v : pcm) put16(b, static_cast<std::uint16_t>(v));
    std::ofstream f(path, std::ios::binary);
    f.write(b.data(), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(f);
}

// A pair found here: a rising arpeggio, a short answering phrase and a final chord.
Stereo myScore(std::size_t frames) {
    Stereo s(frames);
    const double notes[][3] = {// start, midi note, length
                               {0.00, 72, 0.5}, {0.12, 76, 0.5}, {0.24, 79, 0.5}, {0.36, 84, 0.8},
                               {0.70, 81, 0.5}, {0.84, 79, 0.5}, {0.98, 81, 0.5}, {1.12, 83, 0.6},
                               {1.30, 84, 1.4}, {1.30, 79, 1.4}, {1.30, 76, 1.4}, {1.30, 72, 1.4}};
    int k = 0;
    for (const auto& n : notes) {
        double pan = 0.5 + 0.2 * std::sin(k++ * 1.7);
        addBell(s, n[0], midiHz(n[1]), n[2], n[0] >= 1.3 ? 0.45 : 0.8, pan);
    }
    // A soft sparkle on top of the last chord.
    for (int i = 0; i < 6; ++i)
        addBell(s, 1.45 + 0.11 * i, midiHz(96 + (i % 3) * 4), 0.6, 0.12, i % 2 ? 0.8 : 0.2);
    return s;
}

// The opponent's pair: a quick rising blip, no longer than a click.
Stereo yourScore(std::size_t frames) {
    Stereo s(frames);
    double len = static_cast<double>(frames) / kRate;
    addGlide(
        s, 0, len, [len](double t) { return 880 + 660 * t / len; }, 0.8, 0.5, 0.2);
    return s;
}

// A connection made: a robot's chirps, quick hops between pitches with a warble.
Stereo robot(std::size_t frames) {
    Stereo s(frames);
    std::uint32_t seed = 12345;
    auto rnd = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) & 0xFFFF) / 65535.0;
    };
    double t = 0.02;
    int i = 0;
    while (t < 2.3) {
        double len = 0.06 + 0.1 * rnd();
        double a = 600 + 1600 * rnd(), b = 600 + 1600 * rnd();
        double warble = 20 + 30 * rnd();
        addGlide(
            s, t, len,
            [a, b, len, warble](double x) {
                return (a + (b - a) * x / len) * (1 + 0.06 * std::sin(2 * kPi * warble * x));
            },
            0.6, i % 2 ? 0.3 : 0.7, 0.8);
        t += len + 0.02 + 0.05 * rnd();
        ++i;
    }
    return s;
}

// A connection lost: three falling tones, each lower and longer than the one before.
Stereo conLost(std::size_t frames) {
    Stereo s(frames);
    const double steps[][3] = {{0.00, 76, 0.55}, {0.60, 71, 0.6}, {1.25, 64, 1.0}};
    for (const auto& st : steps) {
        double hz = midiHz(st[1]), len = st[2];
        addGlide(
            s, st[0], len, [hz, len](double x) { return hz * (1 - 0.12 * x / len); }, 0.7, 0.5,
            0.5);
        addGlide(
            s, st[0], len, [hz, len](double x) { return hz * 0.5 * (1 - 0.12 * x / len); }, 0.3,
            0.5, 0.0);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: gensounds OUTDIR\n";
        return 2;
    }
    std::string dir = argv[1];
    struct Sound {
        const char* name;
        std::size_t dataBytes;
        Stereo (*make)(std::size_t);
        double fadeIn, fadeOut;
    };
    const Sound sounds[] = {{"myscore", 492316, myScore, 0.003, 0.4},
                            {"yourscore", 16640, yourScore, 0.003, 0.02},
                            {"robot", 458268, robot, 0.005, 0.25},
                            {"conlost", 402112, conLost, 0.005, 0.3}};
    for (const auto& snd : sounds) {
        Stereo s = snd.make(snd.dataBytes / 4);
        auto pcm = finish(s, snd.fadeIn, snd.fadeOut);
        if (!writeWave(dir + "/" + snd.name + ".wav", pcm)) {
            std::cerr << "gensounds: cannot write " << dir << "/" << snd.name << ".wav\n";
            return 1;
        }
    }
    return 0;
}
