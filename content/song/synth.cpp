// Implementation of the synthesis helpers; plain double arithmetic in a fixed
// order, so the samples are the same bytes on every build.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

std::uint32_t Noise::nextBits() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Noise::next() {
    return static_cast<float>(static_cast<double>(nextBits()) / 2147483648.0 - 1.0);
}

void Svf::set(double cutoffHz, double q, double rate) {
    cutoffHz = std::clamp(cutoffHz, 5.0, rate * 0.49);
    g_ = std::tan(kPi * cutoffHz / rate);
    k_ = 1.0 / q;
    a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

void Svf::process(float x) {
    const double v3 = x - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    low_ = static_cast<float>(v2);
    band_ = static_cast<float>(v1);
    high_ = static_cast<float>(x - k_ * v1 - v2);
}

std::vector<float> additive(const std::vector<PeriodicVoice>& voices, int loopLength, int length,
                            int maxHarmonic, double rate,
                            const std::function<double(int, double)>& harmonicGain,
                            std::uint32_t phaseSeed) {
    std::vector<float> out(length, 0.0f);
    Noise phases(phaseSeed);
    // Gains are evaluated on a coarse time grid (every 64 samples) and held:
    // the envelopes they carry are slow, and this keeps the build fast.
    constexpr int kGainStep = 64;
    std::vector<double> gains;
    for (const PeriodicVoice& v : voices) {
        for (int h = 1; h <= maxHarmonic; ++h) {
            const double phase0 = (phases.next() + 1.0) * kPi;
            // The phase advances by h * cycles / loopLength of a turn per sample;
            // exact integer arithmetic modulo loopLength keeps the loop seamless.
            const long long step = static_cast<long long>(h) * v.cycles;
            for (int start = 0; start < length; start += kGainStep) {
                const double g = v.gain * harmonicGain(h, start / rate);
                if (g == 0.0) continue;
                const int end = std::min(length, start + kGainStep);
                for (int n = start; n < end; ++n) {
                    const long long turn = (step * n) % loopLength;
                    const double phase =
                        2.0 * kPi * static_cast<double>(turn) / loopLength + phase0;
                    out[n] += static_cast<float>(g * std::sin(phase));
                }
            }
        }
    }
    return out;
}

int c5SpeedFor(double pitchHz, double rate) {
    return static_cast<int>(std::lround(rate * kMiddleC / pitchHz));
}

float peakOf(const std::vector<float>& x) {
    float peak = 0.0f;
    for (float v : x) peak = std::max(peak, std::fabs(v));
    return peak;
}

void blockDc(std::vector<float>& x, double rate) {
    const double r = 1.0 - 2.0 * kPi * 10.0 / rate;
    double previousIn = 0.0, previousOut = 0.0;
    for (float& v : x) {
        const double out = v - previousIn + r * previousOut;
        previousIn = v;
        previousOut = out;
        v = static_cast<float>(out);
    }
}

void centreLoop(std::vector<float>& x, int loopStart) {
    if (loopStart >= static_cast<int>(x.size())) return;
    double sum = 0.0;
    for (std::size_t i = loopStart; i < x.size(); ++i) sum += x[i];
    const float mean = static_cast<float>(sum / (x.size() - loopStart));
    for (float& v : x) v -= mean;
}

std::vector<std::int16_t> toPcm16(const std::vector<float>& x, double peak) {
    const float p = peakOf(x);
    const double scale = p > 0.0f ? peak * 32767.0 / p : 0.0;
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double v = std::clamp(std::round(x[i] * scale), -32768.0, 32767.0);
        out[i] = static_cast<std::int16_t>(v);
    }
    return out;
}

}  // namespace synth
