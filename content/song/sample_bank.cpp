// Synthesises the song's samples. Pitched loops are additive tones whose
// voices fit a whole number of periods into the loop, so they repeat without
// a click; drums are noise and swept sines with exponential decays.
#include "sample_bank.h"

#include <cmath>
#include <functional>

#include "synth.h"

namespace {

using synth::kPi;
constexpr double kRate = 44100.0;

double decay(double t, double seconds) {
    return std::exp(-t / seconds);
}

// Rises from 0 to 1 over `seconds` (a short fade-in against clicks).
double attack(double t, double seconds) {
    return t >= seconds ? 1.0 : t / seconds;
}

it::Sample pcm(const char* name, const std::vector<float>& x, double rate, double peak,
               double pitchHz) {
    it::Sample s;
    s.name = name;
    s.data = synth::toPcm16(x, peak);
    s.c5Speed = synth::c5SpeedFor(pitchHz, rate);
    return s;
}

it::Sample oneShot(const char* name, std::vector<float> x, double rate, double peak,
                   double pitchHz = synth::kMiddleC) {
    synth::blockDc(x, rate);
    return pcm(name, x, rate, peak, pitchHz);
}

it::Sample looped(const char* name, std::vector<float> x, int loopStart, double pitchHz,
                  double peak) {
    synth::centreLoop(x, loopStart);
    it::Sample s = pcm(name, x, kRate, peak, pitchHz);
    s.loop = true;
    s.loopStart = loopStart;
    s.loopEnd = static_cast<int>(x.size());
    return s;
}

std::vector<float> render(double seconds, double rate, const std::function<float(double)>& f) {
    const int n = static_cast<int>(seconds * rate);
    std::vector<float> out(n);
    for (int i = 0; i < n; ++i) out[i] = f(i / rate);
    return out;
}

it::Sample kick() {
    double phase = 0.0;
    synth::Noise noise(11);
    synth::Svf click;
    click.set(3000, 0.7, kRate);
    auto x = render(0.45, kRate, [&](double t) {
        const double f = 46.0 + 120.0 * decay(t, 0.03);
        phase += 2.0 * kPi * f / kRate;
        click.process(noise.next());
        const double body = std::sin(phase) * decay(t, 0.22) * attack(t, 0.0015);
        const double snap = click.low() * decay(t, 0.004) * 0.6;
        return static_cast<float>(std::tanh(1.6 * (body + snap)));
    });
    return oneShot("kick", x, kRate, 0.95);
}

it::Sample snare() {
    synth::Noise noise(23);
    synth::Svf hp, bp;
    hp.set(1800, 0.7, kRate);
    bp.set(5200, 0.9, kRate);
    auto x = render(0.36, kRate, [&](double t) {
        const float n = noise.next();
        hp.process(n);
        bp.process(n);
        const double tone =
            (std::sin(2 * kPi * 185 * t) + 0.5 * std::sin(2 * kPi * 330 * t)) * decay(t, 0.06);
        const double rattle = (0.7 * hp.high() + 0.5 * bp.band()) * decay(t, 0.13);
        return static_cast<float>((0.8 * tone + rattle) * attack(t, 0.001));
    });
    return oneShot("snare", x, kRate, 0.9);
}

it::Sample clap() {
    synth::Noise noise(37);
    synth::Svf bp;
    bp.set(1300, 1.4, kRate);
    auto x = render(0.34, kRate, [&](double t) {
        bp.process(noise.next());
        double env = 0.0;
        for (double burst : {0.0, 0.011, 0.022}) {
            if (t >= burst) env = std::max(env, decay(t - burst, 0.007));
        }
        if (t >= 0.03) env = std::max(env, 0.6 * decay(t - 0.03, 0.11));
        return static_cast<float>(bp.band() * env);
    });
    return oneShot("clap", x, kRate, 0.85);
}

// Six detuned square waves through a high pass: the classic metallic hat.
std::vector<float> metal(double seconds, double decaySeconds, std::uint32_t seed, double hpHz) {
    static const double kRatios[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    synth::Noise noise(seed);
    synth::Svf hp1, hp2;
    hp1.set(hpHz, 0.7, kRate);
    hp2.set(hpHz, 0.7, kRate);
    return render(seconds, kRate, [&](double t) {
        double sq = 0.0;
        for (double r : kRatios) sq += std::sin(2 * kPi * r * 1.7 * t) > 0 ? 1.0 : -1.0;
        hp1.process(static_cast<float>(sq / 6.0 * 0.6 + noise.next() * 0.5));
        hp2.process(hp1.high());
        return static_cast<float>(hp2.high() * decay(t, decaySeconds) * attack(t, 0.0008));
    });
}

it::Sample closedHat() {
    return oneShot("closed hat", metal(0.12, 0.028, 41, 7000), kRate, 0.7);
}
it::Sample openHat() {
    return oneShot("open hat", metal(0.6, 0.22, 43, 6500), kRate, 0.7);
}

it::Sample shaker() {
    synth::Noise noise(47);
    synth::Svf bp;
    bp.set(7000, 1.2, kRate);
    auto x = render(0.14, kRate, [&](double t) {
        bp.process(noise.next());
        const double env = t < 0.02 ? t / 0.02 : decay(t - 0.02, 0.035);
        return static_cast<float>(bp.band() * env);
    });
    return oneShot("shaker", x, kRate, 0.6);
}

it::Sample crash() {
    constexpr double kCrashRate = 32000.0;
    synth::Noise noise(53);
    synth::Svf hp, bp;
    hp.set(2500, 0.7, kCrashRate);
    bp.set(9000, 0.8, kCrashRate);
    auto x = render(2.4, kCrashRate, [&](double t) {
        double sq = 0.0;
        for (double r : {313.0, 421.0, 587.0, 733.0, 1009.0}) {
            sq += std::sin(2 * kPi * r * 2.3 * t) > 0 ? 1.0 : -1.0;
        }
        const float n = noise.next();
        hp.process(static_cast<float>(n + sq * 0.08));
        bp.process(n);
        const double env = attack(t, 0.003) * (0.6 * decay(t, 0.9) + 0.4 * decay(t, 0.15));
        return static_cast<float>((hp.high() + 0.4 * bp.band()) * env);
    });
    return oneShot("crash", x, kCrashRate, 0.75);
}

it::Sample tom() {
    double phase = 0.0;
    auto x = render(0.5, kRate, [&](double t) {
        const double f = 110.0 + 70.0 * decay(t, 0.05);
        phase += 2.0 * kPi * f / kRate;
        return static_cast<float>(std::sin(phase) * decay(t, 0.2) * attack(t, 0.001));
    });
    return oneShot("tom", x, kRate, 0.9, 110.0 * 2.0);  // sounds an octave below its C-5
}

it::Sample boom() {
    constexpr double kBoomRate = 22050.0;
    double phase = 0.0;
    synth::Noise noise(59);
    synth::Svf lp;
    lp.set(400, 0.8, kBoomRate);
    auto x = render(1.8, kBoomRate, [&](double t) {
        const double f = 34.0 + 70.0 * decay(t, 0.15);
        phase += 2.0 * kPi * f / kBoomRate;
        lp.process(noise.next());
        const double body = std::sin(phase) * decay(t, 0.6);
        const double rumble = lp.low() * 1.5 * decay(t, 0.35);
        return static_cast<float>(std::tanh(1.3 * (body + rumble)) * attack(t, 0.002));
    });
    return oneShot("impact", x, kBoomRate, 0.95);
}

// A reversed cymbal swell that peaks exactly two seconds (20 rows) after it starts.
it::Sample riser() {
    constexpr double kRiserRate = 22050.0;
    constexpr double kLength = 2.0;
    synth::Noise noise(61);
    synth::Svf hp;
    auto x = render(kLength, kRiserRate, [&](double t) {
        hp.set(600.0 + 5000.0 * (t / kLength), 0.9, kRiserRate);
        hp.process(noise.next());
        const double env = std::pow(t / kLength, 2.5) * (1.0 - decay(kLength - t, 0.004));
        return static_cast<float>(hp.high() * env);
    });
    return oneShot("reverse swell", x, kRiserRate, 0.7);
}

// Gentle two-pole low-pass magnitude.
double lowPass(double f, double cutoff) {
    return 1.0 / std::sqrt(1.0 + std::pow(f / cutoff, 4));
}

it::Sample bass() {
    // One period of 401 samples: about 110 Hz. The filter closes over the
    // first 0.25 s, then the tone is static and loops on its last period.
    constexpr int kPeriod = 401;
    constexpr double kAttack = 0.25;
    const double f0 = kRate / kPeriod;
    const int length = static_cast<int>(kAttack * kRate) + kPeriod;
    const double closed = std::exp(-kAttack / 0.06);
    auto gain = [&](int h, double t) {
        const double env = t >= kAttack ? 0.0 : (std::exp(-t / 0.06) - closed) / (1.0 - closed);
        const double cutoff = 420.0 + 2600.0 * env;
        const double saw = 1.0 / h;
        const double square = (h % 2 == 1) ? 0.8 / h : 0.0;
        const double sub = h == 1 ? 0.7 : 0.0;
        return (saw + square + sub) * lowPass(h * f0, cutoff);
    };
    auto x = synth::additive({{1, 1.0}}, kPeriod, length, 60, kRate, gain, 67);
    return looped("bass", x, length - kPeriod, f0, 0.9);
}

// Pads and leads fit their voices' whole periods into one loop.
it::Sample pad() {
    constexpr int kLoop = 88200;  // two seconds
    std::vector<synth::PeriodicVoice> voices;
    for (int d : {-6, -4, -2, 0, 2, 4, 6}) voices.push_back({524 + d, d == 0 ? 1.0 : 0.7});
    const double f0 = 524.0 * kRate / kLoop;
    auto gain = [&](int h, double) { return lowPass(h * f0, 1900.0) / h; };
    auto x = synth::additive(voices, kLoop, kLoop, 20, kRate, gain, 71);
    return looped("pad", x, 0, f0, 0.8);
}

it::Sample strings() {
    constexpr int kLoop = 88200;
    std::vector<synth::PeriodicVoice> voices;
    for (int d : {-3, -1, 1, 3}) voices.push_back({524 + d, 1.0});
    voices.push_back({1048 + 2, 0.25});  // a soft octave above
    const double f0 = 524.0 * kRate / kLoop;
    auto gain = [&](int h, double) {
        const double body = (h % 2 == 1) ? 1.0 / (h * h) : 0.35 / (h * h);
        return body * lowPass(h * f0, 2600.0);
    };
    auto x = synth::additive(voices, kLoop, kLoop, 14, kRate, gain, 73);
    return looped("strings", x, 0, f0, 0.8);
}

it::Sample lead() {
    constexpr int kLoop = 44100;  // one second
    const std::vector<synth::PeriodicVoice> voices = {{262, 1.0}, {263, 0.8}, {261, 0.5}};
    const double f0 = 262.0;
    auto gain = [&](int h, double) {
        const double saw = 1.0 / h;
        const double square = (h % 2 == 1) ? 0.6 / h : 0.0;
        return (saw + square) * lowPass(h * f0, 5200.0);
    };
    auto x = synth::additive(voices, kLoop, kLoop, 32, kRate, gain, 79);
    it::Sample s = looped("lead", x, 0, f0, 0.85);
    s.vibratoSpeed = 12;
    s.vibratoDepth = 4;
    s.vibratoRate = 20;
    return s;
}

it::Sample softLead() {
    constexpr int kLoop = 44100;
    const std::vector<synth::PeriodicVoice> voices = {{262, 1.0}, {263, 0.35}};
    const double f0 = 262.0;
    auto gain = [](int h, double) {
        static const double kPartials[5] = {1.0, 0.32, 0.14, 0.06, 0.03};
        return h <= 5 ? kPartials[h - 1] : 0.0;
    };
    auto x = synth::additive(voices, kLoop, kLoop, 5, kRate, gain, 83);
    it::Sample s = looped("soft lead", x, 0, f0, 0.85);
    s.vibratoSpeed = 10;
    s.vibratoDepth = 3;
    s.vibratoRate = 12;
    return s;
}

// Karplus-Strong string, about C-6.
it::Sample pluck() {
    constexpr int kDelay = 84;
    synth::Noise noise(89);
    synth::Svf soften;
    soften.set(3500, 0.7, kRate);
    std::vector<float> line(kDelay);
    for (float& v : line) {
        soften.process(noise.next());
        v = soften.low();
    }
    const int n = static_cast<int>(1.1 * kRate);
    std::vector<float> x(n);
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        const int next = (pos + 1) % kDelay;
        const float out = line[pos];
        line[pos] = 0.5f * (line[pos] + line[next]) * 0.997f;
        pos = next;
        x[i] = out * static_cast<float>(attack(i / kRate, 0.001));
    }
    return oneShot("pluck", x, kRate, 0.85, kRate / (kDelay + 0.5));
}

// Two-operator FM electric bell, about C-6.
it::Sample bell() {
    const double f = 2.0 * synth::kMiddleC;
    auto x = render(1.6, kRate, [&](double t) {
        const double index = 2.2 * decay(t, 0.35) + 0.25;
        const double body = std::sin(2 * kPi * f * t + index * std::sin(2 * kPi * f * t));
        const double shimmer = 0.22 * std::sin(2 * kPi * f * 3.5 * t) * decay(t, 0.2);
        return static_cast<float>((body * decay(t, 0.7) + shimmer) * attack(t, 0.002));
    });
    return oneShot("bell", x, kRate, 0.85, f);
}

it::Envelope envelope(std::vector<it::EnvelopeNode> nodes, int sustainNode) {
    it::Envelope e;
    e.enabled = true;
    e.nodes = std::move(nodes);
    e.sustainNode = sustainNode;
    return e;
}

// How each voice behaves as an instrument: new-note action, fade-out after
// note-off, global volume and volume envelope (ticks are 1/60 s at speed 6).
struct InstrumentSpec {
    const char* name;
    it::NewNoteAction nna;
    int fadeOut;
    int globalVolume;
    it::Envelope envelope;
};

}  // namespace

SampleBank makeSampleBank() {
    using NNA = it::NewNoteAction;
    SampleBank bank;
    bank.samples = {kick(),    snare(), clap(),     closedHat(), openHat(), shaker(),
                    crash(),   tom(),   boom(),     riser(),     bass(),    pad(),
                    strings(), lead(),  softLead(), pluck(),     bell()};
    const it::Envelope none;
    const InstrumentSpec specs[kVoiceCount] = {
        {"kick", NNA::Cut, 0, 128, none},
        {"snare", NNA::Cut, 0, 110, none},
        {"clap", NNA::Continue, 0, 100, none},
        {"closed hat", NNA::Cut, 0, 90, none},
        {"open hat", NNA::Cut, 0, 80, none},
        {"shaker", NNA::Cut, 0, 80, none},
        {"crash", NNA::Continue, 0, 90, none},
        {"tom", NNA::Continue, 0, 110, none},
        {"impact", NNA::Continue, 0, 128, none},
        {"reverse swell", NNA::Continue, 0, 80, none},
        {"bass", NNA::Cut, 64, 118, envelope({{0, 0}, {1, 64}, {12, 54}, {20, 0}}, 2)},
        {"pad", NNA::NoteOff, 10, 70, envelope({{0, 0}, {30, 64}, {100, 0}}, 1)},
        {"strings", NNA::NoteOff, 8, 72, envelope({{0, 0}, {48, 64}, {140, 0}}, 1)},
        {"lead", NNA::Cut, 48, 88, envelope({{0, 0}, {2, 64}, {10, 54}, {24, 0}}, 2)},
        {"soft lead", NNA::NoteOff, 24, 92, envelope({{0, 0}, {6, 64}, {14, 56}, {50, 0}}, 2)},
        {"pluck", NNA::NoteFade, 6, 80, none},
        {"bell", NNA::NoteFade, 5, 84, none},
    };
    for (int i = 0; i < kVoiceCount; ++i) {
        it::Instrument ins;
        ins.name = specs[i].name;
        ins.sample = i + 1;
        ins.newNoteAction = specs[i].nna;
        ins.fadeOut = specs[i].fadeOut;
        ins.globalVolume = specs[i].globalVolume;
        ins.volumeEnvelope = specs[i].envelope;
        bank.instruments.push_back(ins);
    }
    return bank;
}
