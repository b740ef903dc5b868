#include "tools/soundgen/SoundGen.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace soundgen {
namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

// The kinds of sound we can make. Descriptions choose one by the words they
// contain; a list without descriptions cycles through them by number.
enum class Kind {
    Confirm, Cancel, Error, Click, Chime, Open, Close, Signal,
    Footsteps, Engine, Tracks, Ship, Plane, Train, Submarine, Landing,
    Impact, Shot, MachineGun, Cannon, AntiAir, Drop, Torpedo, Splash, Explosion, Sinking,
    Stamp, Hammer, Fanfare, Sad,
};

struct KindWord {
    const char* word;  // UTF-8: the list is UTF-8, whatever the program's charset
    Kind kind;
};

// First match wins, so the longer, more particular words come first.
const KindWord kWords[] = {
    {u8"高射砲", Kind::AntiAir}, {u8"機関銃", Kind::MachineGun}, {u8"爆雷", Kind::Splash},
    {u8"爆弾", Kind::Drop},      {u8"魚雷", Kind::Torpedo},      {u8"撃沈", Kind::Sinking},
    {u8"水面", Kind::Splash},    {u8"着弾", Kind::Impact},       {u8"砲撃", Kind::Cannon},
    {u8"射撃", Kind::Shot},      {u8"爆発", Kind::Explosion},    {u8"歩兵", Kind::Footsteps},
    {u8"装軌", Kind::Tracks},    {u8"車両", Kind::Engine},       {u8"艦船", Kind::Ship},
    {u8"水上", Kind::Ship},      {u8"航空", Kind::Plane},        {u8"列車", Kind::Train},
    {u8"潜航中", Kind::Submarine}, {u8"雪上", Kind::Tracks},     {u8"着陸", Kind::Landing},
    {u8"潜航", Kind::Submarine}, {u8"浮上", Kind::Splash},       {u8"工事", Kind::Hammer},
    {u8"印", Kind::Stamp},       {u8"新兵器", Kind::Fanfare},    {u8"勝利", Kind::Fanfare},
    {u8"敗北", Kind::Sad},       {u8"終了", Kind::Sad},          {u8"取消", Kind::Cancel},
    {u8"エラー", Kind::Error},   {u8"開く", Kind::Open},         {u8"閉じる", Kind::Close},
    {u8"開始", Kind::Signal},    {u8"合図", Kind::Signal},       {u8"めくり", Kind::Click},
    {u8"文字", Kind::Click},     {u8"改行", Kind::Click},        {u8"占領", Kind::Fanfare},
    {u8"生産", Kind::Chime},     {u8"配備", Kind::Chime},        {u8"補給", Kind::Chime},
    {u8"搭載", Kind::Close},     {u8"降車", Kind::Open},         {u8"移動", Kind::Engine},
    {u8"決定", Kind::Confirm},
};

const Kind kCycle[] = {
    Kind::Confirm, Kind::Cancel, Kind::Error, Kind::Click, Kind::Chime, Kind::Open, Kind::Close,
    Kind::Signal, Kind::Footsteps, Kind::Engine, Kind::Tracks, Kind::Ship, Kind::Plane, Kind::Train,
    Kind::Submarine, Kind::Landing, Kind::Impact, Kind::Shot, Kind::MachineGun, Kind::Cannon,
    Kind::AntiAir, Kind::Drop, Kind::Torpedo, Kind::Splash, Kind::Explosion, Kind::Sinking,
    Kind::Stamp, Kind::Hammer, Kind::Fanfare, Kind::Sad,
};

Kind KindOf(const Effect& e)
{
    for (const auto& w : kWords) {
        if (e.description.find(w.word) != std::string::npos) return w.kind;
    }
    const size_t n = sizeof kCycle / sizeof kCycle[0];
    return kCycle[static_cast<size_t>(std::max(e.index, 0)) % n];
}

// A small deterministic noise source, so the files are the same every build.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    double Next()  // -1 .. 1
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t m_state;
};

// Sounds are built in floating point (-1 .. 1) and quantised at the end.
using Buffer = std::vector<double>;

size_t Samples(double seconds)
{
    return static_cast<size_t>(seconds * kRate);
}

void Mix(Buffer& into, const Buffer& part, double at, double gain = 1.0)
{
    size_t start = Samples(at);
    if (into.size() < start + part.size()) into.resize(start + part.size(), 0.0);
    for (size_t i = 0; i < part.size(); ++i) into[start + i] += part[i] * gain;
}

// A tone sliding from f0 to f1 Hz with an exponential decay (per second).
Buffer Tone(double seconds, double f0, double f1, double decay, bool square = false)
{
    Buffer b(Samples(seconds));
    double phase = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double f = f0 + (f1 - f0) * t / seconds;
        phase += 2 * kPi * f / kRate;
        double v = square ? (std::sin(phase) >= 0 ? 0.6 : -0.6) : std::sin(phase);
        double attack = std::min(1.0, t / 0.004);
        b[i] = v * attack * std::exp(-decay * t);
    }
    return b;
}

// Noise through a one-pole low-pass whose cut-off moves from c0 to c1
// (0..1, the share of the new sample let through).
Buffer Burst(double seconds, double c0, double c1, double decay, uint32_t seed)
{
    Noise n(seed);
    Buffer b(Samples(seconds));
    double y = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double c = c0 + (c1 - c0) * t / seconds;
        y += c * (n.Next() - y);
        double attack = std::min(1.0, t / 0.002);
        b[i] = y * attack * std::exp(-decay * t) * (1.5 / std::sqrt(std::max(c, 0.02)));
    }
    return b;
}

// A steady hum for looping movement sounds: a low saw with rumbling noise,
// whole periods long so the loop has no click.
Buffer Hum(double seconds, double freq, double rumble, double wobble, uint32_t seed)
{
    Noise n(seed);
    Buffer b(Samples(seconds));
    double y = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double saw = 2.0 * std::fmod(t * freq, 1.0) - 1.0;
        y += 0.05 * (n.Next() - y);
        double swell = 1.0 + 0.3 * std::sin(2 * kPi * wobble * t);
        b[i] = (0.35 * saw + rumble * y * 6.0) * swell * 0.6;
    }
    return b;
}

Buffer Repeat(const Buffer& part, int times, double every)
{
    Buffer b;
    for (int k = 0; k < times; ++k) Mix(b, part, k * every);
    return b;
}

Buffer Notes(const std::vector<double>& freqs, double each, bool square)
{
    Buffer b;
    for (size_t k = 0; k < freqs.size(); ++k) Mix(b, Tone(each * 1.6, freqs[k], freqs[k], 5.0, square), k * each, 0.6);
    return b;
}

Buffer Make(Kind kind, uint32_t seed)
{
    switch (kind) {
    case Kind::Confirm: return Notes({880, 1320}, 0.06, true);
    case Kind::Cancel: return Notes({660, 440}, 0.07, true);
    case Kind::Error: return Repeat(Tone(0.09, 150, 150, 2.0, true), 2, 0.13);
    case Kind::Click: {
        Buffer b = Tone(0.02, 2000, 1800, 150.0);
        Mix(b, Burst(0.015, 0.9, 0.9, 200.0, seed), 0, 0.3);
        return b;
    }
    case Kind::Chime: {
        Buffer b = Tone(0.45, 1046.5, 1046.5, 7.0);
        Mix(b, Tone(0.45, 1568, 1568, 9.0), 0.05, 0.7);
        return b;
    }
    case Kind::Open: return Tone(0.12, 400, 900, 8.0, true);
    case Kind::Close: return Tone(0.12, 900, 400, 8.0, true);
    case Kind::Signal: return Notes({784, 784, 1046.5}, 0.09, true);
    case Kind::Footsteps: return Repeat(Burst(0.06, 0.15, 0.05, 60.0, seed), 4, 0.25);
    case Kind::Engine: return Hum(1.0, 55, 0.25, 4.0, seed);
    case Kind::Tracks: {
        Buffer b = Hum(1.0, 45, 0.3, 2.0, seed);
        Mix(b, Repeat(Tone(0.03, 1200, 900, 80.0, true), 8, 0.125), 0, 0.15);
        return b;
    }
    case Kind::Ship: return Hum(1.0, 35, 0.45, 1.0, seed);
    case Kind::Plane: {
        Buffer b = Hum(1.0, 110, 0.2, 8.0, seed);
        Mix(b, Hum(1.0, 113, 0.0, 1.0, seed + 1), 0, 0.5);
        return b;
    }
    case Kind::Train: return Repeat(Burst(0.18, 0.3, 0.05, 12.0, seed), 4, 0.25);
    case Kind::Submarine: return Hum(1.0, 30, 0.1, 0.5, seed);
    case Kind::Landing: {
        Buffer b = Tone(0.5, 180, 90, 3.0, true);
        Mix(b, Burst(0.2, 0.3, 0.05, 10.0, seed), 0.35, 0.8);
        return b;
    }
    case Kind::Impact: return Burst(0.35, 0.6, 0.05, 9.0, seed);
    case Kind::Shot: return Burst(0.12, 0.9, 0.2, 35.0, seed);
    case Kind::MachineGun: return Repeat(Burst(0.06, 0.9, 0.3, 60.0, seed), 6, 0.07);
    case Kind::Cannon: {
        Buffer b = Burst(0.6, 0.5, 0.02, 6.0, seed);
        Mix(b, Tone(0.5, 90, 50, 6.0), 0, 0.8);
        return b;
    }
    case Kind::AntiAir: return Repeat(Burst(0.15, 0.7, 0.1, 25.0, seed), 3, 0.16);
    case Kind::Drop: {
        Buffer b = Tone(0.55, 1500, 400, 0.5);
        Mix(b, Burst(0.7, 0.5, 0.02, 5.0, seed), 0.55);
        return b;
    }
    case Kind::Torpedo: {
        Buffer b = Burst(0.6, 0.05, 0.4, 2.0, seed);
        Mix(b, Tone(0.6, 200, 260, 2.0), 0, 0.2);
        return b;
    }
    case Kind::Splash: return Burst(0.5, 0.95, 0.4, 7.0, seed);
    case Kind::Explosion: return Burst(0.9, 0.7, 0.01, 4.0, seed);
    case Kind::Sinking: {
        Buffer b = Burst(1.0, 0.6, 0.01, 3.0, seed);
        Mix(b, Burst(0.8, 0.9, 0.3, 4.0, seed + 7), 0.5, 0.6);
        return b;
    }
    case Kind::Stamp: {
        Buffer b = Burst(0.12, 0.3, 0.05, 30.0, seed);
        Mix(b, Tone(0.12, 120, 80, 30.0), 0, 0.7);
        return b;
    }
    case Kind::Hammer: {
        Buffer clank = Tone(0.12, 1250, 1200, 30.0, true);
        Mix(clank, Burst(0.05, 0.9, 0.9, 80.0, seed), 0, 0.4);
        return Repeat(clank, 3, 0.2);
    }
    case Kind::Fanfare: return Notes({523.3, 659.3, 784, 1046.5}, 0.12, true);
    case Kind::Sad: return Notes({440, 415.3, 392, 349.2}, 0.2, false);
    }
    return Tone(0.1, 880, 880, 10.0);
}

// To unsigned 8 bits, scaled so the loudest sample sits at 90 % of full.
std::vector<uint8_t> Quantise(const Buffer& b)
{
    double peak = 0.0;
    for (double v : b) peak = std::max(peak, std::abs(v));
    double gain = peak > 0.0 ? 0.9 / peak : 0.0;
    std::vector<uint8_t> out(b.size());
    for (size_t i = 0; i < b.size(); ++i) {
        long v = std::lround(128.0 + 127.0 * b[i] * gain);
        out[i] = static_cast<uint8_t>(std::clamp(v, 0L, 255L));
    }
    return out;
}

void PutLe(std::vector<uint8_t>& v, uint32_t x, int bytes)
{
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

std::vector<std::string> SplitCsv(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

std::vector<Effect> ReadWaveList(const std::string& csvPath)
{
    std::vector<Effect> list;
    std::ifstream in(csvPath);
    if (in) {
        std::string line;
        int colIndex = -1, colName = -1, colDesc = -1;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            auto f = SplitCsv(line);
            if (colName < 0) {
                for (size_t i = 0; i < f.size(); ++i) {
                    if (f[i] == "index") colIndex = static_cast<int>(i);
                    if (f[i] == "name") colName = static_cast<int>(i);
                    if (f[i] == "description") colDesc = static_cast<int>(i);
                }
                if (colName < 0) break;  // not a sound list
                continue;
            }
            Effect e;
            e.index = static_cast<int>(list.size());
            if (colIndex >= 0 && static_cast<size_t>(colIndex) < f.size()) {
                try {
                    e.index = std::stoi(f[static_cast<size_t>(colIndex)]);
                } catch (...) {
                }
            }
            if (static_cast<size_t>(colName) < f.size()) e.name = f[static_cast<size_t>(colName)];
            if (colDesc >= 0 && static_cast<size_t>(colDesc) < f.size()) e.description = f[static_cast<size_t>(colDesc)];
            if (!e.name.empty()) list.push_back(std::move(e));
        }
    }
    if (list.empty()) {
        for (int i = 0; i < kFallbackEffects; ++i) {
            list.push_back({i, std::string("SE") + (i < 10 ? "0" : "") + std::to_string(i), ""});
        }
    }
    return list;
}

std::vector<uint8_t> SynthesizeEffect(const Effect& effect)
{
    return Quantise(Make(KindOf(effect), static_cast<uint32_t>(effect.index) + 17u));
}

std::vector<uint8_t> SynthesizeTrack(int track)
{
    // A pentatonic tune over a root that moves every bar; each track has its
    // own tempo, key and walk. Two bars of four beats (four to five seconds),
    // ending on the root so the repeat joins up.
    Noise n(static_cast<uint32_t>(track) * 977u);
    const double scale[] = {0, 2, 4, 7, 9, 12, 14, 16};
    const double root = 196.0 * std::pow(2.0, (track * 5 % 12) / 12.0);  // from G3 up
    const double beat = 60.0 / (100 + (track * 13) % 30);
    const int roots[] = {0, 7};
    const bool square = track % 2 == 1;
    Buffer b;
    int step = 2;
    for (int bar = 0; bar < 2; ++bar) {
        double bass = root / 2 * std::pow(2.0, roots[bar] / 12.0);
        for (int k = 0; k < 4; ++k) {
            double at = (bar * 4 + k) * beat;
            Mix(b, Tone(beat, bass, bass, 3.0, !square), at, 0.35);
            for (int half = 0; half < 2; ++half) {
                step = std::clamp(step + static_cast<int>(std::lround(n.Next() * 2.0)), 0, 7);
                if (bar == 1 && k == 3) step = half == 0 ? 2 : 0;
                double f = root * std::pow(2.0, (scale[step] + roots[bar]) / 12.0);
                Mix(b, Tone(beat / 2, f, f, 6.0, square), at + half * beat / 2, 0.5);
            }
        }
    }
    b.resize(Samples(8 * beat), 0.0);
    return Quantise(b);
}

std::vector<uint8_t> EncodeWave(const std::vector<uint8_t>& samples)
{
    std::vector<uint8_t> v;
    const uint32_t dataSize = static_cast<uint32_t>(samples.size());
    const uint32_t padded = dataSize + (dataSize & 1u);
    v.insert(v.end(), {'R', 'I', 'F', 'F'});
    PutLe(v, 4 + 8 + 16 + 8 + padded, 4);
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(v, 16, 4);
    PutLe(v, 1, 2);      // PCM
    PutLe(v, 1, 2);      // mono
    PutLe(v, kRate, 4);
    PutLe(v, kRate, 4);  // bytes per second at 1 byte per frame
    PutLe(v, 1, 2);      // block align
    PutLe(v, 8, 2);      // bits per sample
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    PutLe(v, dataSize, 4);
    v.insert(v.end(), samples.begin(), samples.end());
    if (dataSize & 1u) v.push_back(0x80);
    return v;
}

int WriteAll(const std::vector<Effect>& effects, const std::string& outDir, std::vector<std::string>& errors)
{
    int written = 0;
    const fs::path root(outDir);
    for (const auto& e : effects) {
        // The program builds the path with '\'; here it is a folder.
        std::string rel = e.name;
        std::replace(rel.begin(), rel.end(), '\\', '/');
        if (rel.empty() || rel.front() == '/' || rel.find("..") != std::string::npos) {
            errors.push_back("unusable sound name: " + e.name);
            continue;
        }
        if (WriteFile(root / (rel + ".WAV"), EncodeWave(SynthesizeEffect(e)))) {
            ++written;
        } else {
            errors.push_back("cannot write " + (root / (rel + ".WAV")).string());
        }
    }
    for (int t = 1; t <= kMusicTracks; ++t) {
        std::ostringstream name;
        name << "Track" << (t < 10 ? "0" : "") << t << ".wav";
        fs::path p = root / "Music" / name.str();
        if (WriteFile(p, EncodeWave(SynthesizeTrack(t)))) {
            ++written;
        } else {
            errors.push_back("cannot write " + p.string());
        }
    }
    return written;
}

}  // namespace soundgen
