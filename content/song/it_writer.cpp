// Writes Impulse Tracker files: everything is laid out once to know the
// offsets, then emitted in file order with little-endian fields.
#include "it_writer.h"

#include <algorithm>
#include <cstring>

namespace it {
namespace {

constexpr std::uint16_t kTrackerVersion = 0x0214;  // written as, and compatible with, IT 2.14
constexpr std::uint16_t kFlagStereo = 0x01;
constexpr std::uint16_t kFlagInstruments = 0x04;
constexpr std::uint16_t kFlagLinearSlides = 0x08;
constexpr std::uint8_t kSampleHasData = 0x01;
constexpr std::uint8_t kSample16Bit = 0x02;
constexpr std::uint8_t kSampleLoop = 0x10;
constexpr std::uint8_t kSampleSigned = 0x01;
constexpr std::uint8_t kDontUsePan = 0x80;
constexpr std::uint8_t kChannelDisabled = 0x80;
constexpr int kEndOfSong = 255;
constexpr int kEnvelopeNodes = 25;

class ByteWriter {
  public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void u8(int v) { out_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(int v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(static_cast<int>(v & 0xFFFF));
        u16(static_cast<int>(v >> 16));
    }
    void text(const std::string& s, int size) {
        // Zero-padded and always zero-terminated within the field.
        for (int i = 0; i < size; ++i) {
            u8(i < size - 1 && i < static_cast<int>(s.size()) ? s[i] : 0);
        }
    }
    void magic(const char* four) {
        for (int i = 0; i < 4; ++i) u8(four[i]);
    }
    void zeros(int n) {
        for (int i = 0; i < n; ++i) u8(0);
    }
    std::size_t size() const { return out_.size(); }

  private:
    std::vector<std::uint8_t>& out_;
};

void writeEnvelope(ByteWriter& w, const Envelope& env) {
    const int count = std::min<int>(static_cast<int>(env.nodes.size()), kEnvelopeNodes);
    int flags = env.enabled ? 1 : 0;
    if (env.sustainNode >= 0) flags |= 4;
    w.u8(flags);
    w.u8(count);
    w.u8(0);  // loop begin
    w.u8(0);  // loop end
    w.u8(std::max(env.sustainNode, 0));
    w.u8(std::max(env.sustainNode, 0));
    for (int i = 0; i < kEnvelopeNodes; ++i) {
        if (i < count) {
            w.u8(env.nodes[i].value);
            w.u16(env.nodes[i].tick);
        } else {
            w.zeros(3);
        }
    }
    w.u8(0);
}

// A disabled envelope as trackers write it: two flat nodes.
Envelope flatEnvelope() {
    Envelope env;
    env.nodes = {{0, 0}, {99, 0}};
    return env;
}

void writeInstrument(ByteWriter& w, const Instrument& ins) {
    w.magic("IMPI");
    w.text("", 12);
    w.u8(0);
    w.u8(static_cast<int>(ins.newNoteAction));
    w.u8(0);  // duplicate check type
    w.u8(0);  // duplicate check action
    w.u16(ins.fadeOut);
    w.u8(0);   // pitch-pan separation
    w.u8(60);  // pitch-pan centre C-5
    w.u8(ins.globalVolume);
    w.u8(ins.defaultPan >= 0 ? ins.defaultPan : (32 | kDontUsePan));
    w.u8(0);  // random volume
    w.u8(0);  // random pan
    w.u16(kTrackerVersion);
    w.u8(1);  // number of samples
    w.u8(0);
    w.text(ins.name, 26);
    w.u8(0);  // initial filter cutoff: unused
    w.u8(0);  // initial filter resonance: unused
    w.u8(0);  // MIDI channel: none
    w.u8(0xFF);
    w.u16(0xFFFF);
    for (int note = 0; note < 120; ++note) {
        w.u8(note);
        w.u8(ins.sample);
    }
    writeEnvelope(w, ins.volumeEnvelope);
    writeEnvelope(w, flatEnvelope());
    writeEnvelope(w, flatEnvelope());
    w.zeros(4);
}

void writeSampleHeader(ByteWriter& w, const Sample& s, std::uint32_t dataOffset) {
    w.magic("IMPS");
    w.text("", 12);
    w.u8(0);
    w.u8(s.globalVolume);
    int flags = kSample16Bit;
    if (!s.data.empty()) flags |= kSampleHasData;
    if (s.loop) flags |= kSampleLoop;
    w.u8(flags);
    w.u8(s.defaultVolume);
    w.text(s.name, 26);
    w.u8(kSampleSigned);
    w.u8(32);  // default pan, not used
    w.u32(static_cast<std::uint32_t>(s.data.size()));
    w.u32(static_cast<std::uint32_t>(s.loop ? s.loopStart : 0));
    w.u32(static_cast<std::uint32_t>(s.loop ? s.loopEnd : 0));
    w.u32(static_cast<std::uint32_t>(s.c5Speed));
    w.u32(0);  // sustain loop
    w.u32(0);
    w.u32(dataOffset);
    w.u8(s.vibratoSpeed);
    w.u8(s.vibratoDepth);
    w.u8(s.vibratoRate);
    w.u8(0);  // sine
}

}  // namespace

std::vector<std::uint8_t> packPattern(const Pattern& pattern) {
    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    for (int row = 0; row < pattern.rows; ++row) {
        for (int ch = 0; ch < pattern.channels; ++ch) {
            const Cell& c = pattern.at(row, ch);
            if (c.empty()) continue;
            int mask = 0;
            if (c.note != kNoNote) mask |= 1;
            if (c.instrument != 0) mask |= 2;
            if (c.volume != kNoVolume) mask |= 4;
            if (c.command != 0) mask |= 8;
            w.u8((ch + 1) | 0x80);
            w.u8(mask);
            if (mask & 1) w.u8(c.note);
            if (mask & 2) w.u8(c.instrument);
            if (mask & 4) w.u8(c.volume);
            if (mask & 8) {
                w.u8(c.command);
                w.u8(c.param);
            }
        }
        w.u8(0);
    }
    return out;
}

std::vector<std::uint8_t> writeModule(const Module& m) {
    const int orderCount = static_cast<int>(m.orders.size()) + 1;
    const int insCount = static_cast<int>(m.instruments.size());
    const int smpCount = static_cast<int>(m.samples.size());
    const int patCount = static_cast<int>(m.patterns.size());

    std::vector<std::vector<std::uint8_t>> packed;
    packed.reserve(patCount);
    for (const Pattern& p : m.patterns) packed.push_back(packPattern(p));

    // Layout: header and tables, instruments, sample headers, patterns, sample data.
    std::uint32_t offset = kHeaderSize + orderCount + 4 * (insCount + smpCount + patCount);
    std::vector<std::uint32_t> insOffsets, smpOffsets, patOffsets, dataOffsets;
    for (int i = 0; i < insCount; ++i, offset += kInstrumentSize) insOffsets.push_back(offset);
    for (int i = 0; i < smpCount; ++i, offset += kSampleHeaderSize) smpOffsets.push_back(offset);
    for (int i = 0; i < patCount; ++i) {
        patOffsets.push_back(offset);
        offset += kPatternHeaderSize + static_cast<std::uint32_t>(packed[i].size());
    }
    for (const Sample& s : m.samples) {
        dataOffsets.push_back(offset);
        offset += static_cast<std::uint32_t>(s.data.size() * 2);
    }

    std::vector<std::uint8_t> out;
    out.reserve(offset);
    ByteWriter w(out);
    w.magic("IMPM");
    w.text(m.name, 26);
    w.u8(m.rowsPerBeat);
    w.u8(m.rowsPerMeasure);
    w.u16(orderCount);
    w.u16(insCount);
    w.u16(smpCount);
    w.u16(patCount);
    w.u16(kTrackerVersion);
    w.u16(kTrackerVersion);
    w.u16(kFlagStereo | kFlagInstruments | kFlagLinearSlides);
    w.u16(0);  // special: no message
    w.u8(m.globalVolume);
    w.u8(m.mixVolume);
    w.u8(m.initialSpeed);
    w.u8(m.initialTempo);
    w.u8(m.separation);
    w.u8(0);   // pitch wheel depth
    w.u16(0);  // message length
    w.u32(0);  // message offset
    w.u32(0);  // reserved
    for (int ch = 0; ch < kMaxChannels; ++ch) {
        if (ch < static_cast<int>(m.channelPan.size())) {
            w.u8(m.channelPan[ch]);
        } else {
            w.u8(32 | kChannelDisabled);
        }
    }
    for (int ch = 0; ch < kMaxChannels; ++ch) {
        w.u8(ch < static_cast<int>(m.channelVolume.size()) ? m.channelVolume[ch] : 64);
    }
    for (int order : m.orders) w.u8(order);
    w.u8(kEndOfSong);
    for (std::uint32_t o : insOffsets) w.u32(o);
    for (std::uint32_t o : smpOffsets) w.u32(o);
    for (std::uint32_t o : patOffsets) w.u32(o);

    for (const Instrument& ins : m.instruments) writeInstrument(w, ins);
    for (int i = 0; i < smpCount; ++i) writeSampleHeader(w, m.samples[i], dataOffsets[i]);
    for (int i = 0; i < patCount; ++i) {
        w.u16(static_cast<int>(packed[i].size()));
        w.u16(m.patterns[i].rows);
        w.zeros(4);
        out.insert(out.end(), packed[i].begin(), packed[i].end());
    }
    for (const Sample& s : m.samples) {
        for (std::int16_t v : s.data) w.u16(static_cast<std::uint16_t>(v));
    }
    return out;
}

}  // namespace it
