// Test doubles for the director's two outlets: SceneEffects and FrameState
// implementations that append every call, with its arguments, to one shared
// log, so tests can check which calls a frame makes and in which order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/dmd_api.h"
#include "effects/scene_effects.h"
#include "show/frame_state.h"

struct Call {
    std::string name;
    std::vector<double> args;
    std::string text;                   // the text argument of the text effects
    const char* textPointer = nullptr;  // as handed over (the stored line)
};

class CallLog {
  public:
    void add(std::string name, std::vector<double> args, const char* text = nullptr) {
        Call call{std::move(name), std::move(args), text ? text : "", text};
        calls.push_back(std::move(call));
    }
    void clear() { calls.clear(); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const Call& c : calls) out.push_back(c.name);
        return out;
    }
    std::vector<Call> named(const std::string& name) const {
        std::vector<Call> out;
        for (const Call& c : calls) {
            if (c.name == name) out.push_back(c);
        }
        return out;
    }
    // Names with runs of the same name collapsed to one.
    std::vector<std::string> runs() const {
        std::vector<std::string> out;
        for (const Call& c : calls) {
            if (out.empty() || out.back() != c.name) out.push_back(c.name);
        }
        return out;
    }

    std::vector<Call> calls;
};

class RecordingEffects final : public SceneEffects {
  public:
    explicit RecordingEffects(CallLog& log) : log_(log) {}

    void setSongTime(double t) override { log_.add("setSongTime", {t}); }
    void setEventTime(double t) override { log_.add("setEventTime", {t}); }
    void drawSpriteBurst(double rx, double ry, double rz, double z) override {
        log_.add("drawSpriteBurst", {rx, ry, rz, z});
    }
    void drawMeshA(double s, double rx, double ry, double rz) override {
        log_.add("drawMeshA", {s, rx, ry, rz});
    }
    void drawMeshB(double s, double rx, double ry, double rz) override {
        log_.add("drawMeshB", {s, rx, ry, rz});
    }
    void drawMeshC(double s, double rx, double ry, double rz) override {
        log_.add("drawMeshC", {s, rx, ry, rz});
    }
    void drawMeshSwarm(double s, int copies, double rx, double ry, double rz) override {
        log_.add("drawMeshSwarm", {s, double(copies), rx, ry, rz});
    }
    void drawMeshCircleA(double s, int copies, double rx, double ry, double rz) override {
        log_.add("drawMeshCircleA", {s, double(copies), rx, ry, rz});
    }
    void drawMeshCircleB(double s, int copies, double rx, double ry, double rz) override {
        log_.add("drawMeshCircleB", {s, double(copies), rx, ry, rz});
    }
    void drawFullScreenPanel(double n, double r, double t) override {
        log_.add("drawFullScreenPanel", {n, r, t});
    }
    void drawTextColumn(const char* text, double s, double rx, double ry, double rz, double x,
                        double y, double z) override {
        log_.add("drawTextColumn", {s, rx, ry, rz, x, y, z}, text);
    }
    void drawWaveText(const char* text, double a0, double a1, double a2, double a3, double a4,
                      double a5, double a6, double a7, double a8, double a9, double a10, double a11,
                      double a12) override {
        log_.add("drawWaveText", {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12}, text);
    }

  private:
    CallLog& log_;
};

class RecordingFrameState final : public FrameState {
  public:
    explicit RecordingFrameState(CallLog& log) : log_(log) {}

    void clearBuffers(bool color, bool depth) override {
        log_.add("clearBuffers", {double(color), double(depth)});
    }
    void setProjection(const FrustumParams& f) override {
        log_.add("setProjection", {f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal});
    }
    void setDepthFunction(unsigned fn) override { log_.add("setDepthFunction", {double(fn)}); }
    void setDepthTest(bool on) override { log_.add("setDepthTest", {double(on)}); }
    void setFaceCulling(bool on) override { log_.add("setFaceCulling", {double(on)}); }
    void setColor(float r, float g, float b) override { log_.add("setColor", {r, g, b}); }
    void bindTexture(std::int32_t slot, std::uint32_t word) override {
        log_.add("bindTexture", {double(slot), double(word)});
    }

  private:
    CallLog& log_;
};
