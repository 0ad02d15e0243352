// Small, deterministic sound-synthesis building blocks for the composer's
// samples: a seeded noise source, filters, additive periodic tones that loop
// seamlessly, and conversion to 16-bit PCM. Needs only the standard library.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace synth {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMiddleC = 261.6255653005986;  // the pitch note C-5 plays at its C5 speed

// xorshift32: the same sequence on every machine for a given seed.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    std::uint32_t nextBits();
    float next();  // uniform in [-1, 1)
  private:
    std::uint32_t state_;
};

// Topology-preserving state-variable filter (low, band and high pass at once).
class Svf {
  public:
    void set(double cutoffHz, double q, double rate);
    void process(float x);
    float low() const { return low_; }
    float band() const { return band_; }
    float high() const { return high_; }

  private:
    double g_ = 0, k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0;
    double ic1_ = 0, ic2_ = 0;
    float low_ = 0, band_ = 0, high_ = 0;
};

// One voice of an additive tone: `cycles` periods of the fundamental fit the
// loop exactly, so the sum of voices repeats every loop length.
struct PeriodicVoice {
    int cycles;
    double gain;
};

// Renders `length` samples of the sum of voices, each voice the harmonics
// h = 1..maxHarmonic of its fundamental with amplitude harmonicGain(h, t),
// t in seconds at `rate`. Phases come from the seed. Periodic with
// period loopLength once harmonicGain no longer depends on t.
std::vector<float> additive(const std::vector<PeriodicVoice>& voices, int loopLength, int length,
                            int maxHarmonic, double rate,
                            const std::function<double(int, double)>& harmonicGain,
                            std::uint32_t phaseSeed);

// The C5 speed that makes a sample recorded at `pitchHz` (played at `rate`)
// sound at the right pitch for every note.
int c5SpeedFor(double pitchHz, double rate);

// Scales to the given peak (of full scale) and converts, rounding to nearest.
std::vector<std::int16_t> toPcm16(const std::vector<float>& x, double peak);

float peakOf(const std::vector<float>& x);

// Removes a one-shot's DC offset with a 10 Hz high pass.
void blockDc(std::vector<float>& x, double rate);

// Removes a loop's DC offset: the mean over [loopStart, end) is subtracted.
void centreLoop(std::vector<float>& x, int loopStart);

}  // namespace synth
