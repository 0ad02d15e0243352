// What the end-to-end capture tests share: running talvenor in the build
// folder with a private temporary directory, reading PNG and raw frames, and
// asking ffprobe about a video.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "png_reader.h"
#include "process_runner.h"

namespace capture_test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary directory, removed with it.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

  private:
    fs::path path_;
};

// talvenor with args, run in the build folder (where the show's files are)
// unless extra names another working directory, unpacking its pictures into
// runtimeDir.
ProcessResult runTalvenor(const std::vector<std::string>& args, const fs::path& runtimeDir,
                          const ProcessOptions& extra = {});
// The same with the tests' build of talvenor, which writes the host's steps
// to $SORVANEL_HOST_TRACE and snapshots after viewing actions.
ProcessResult runTracedTalvenor(const std::vector<std::string>& args, const fs::path& runtimeDir,
                                const ProcessOptions& extra = {});

// The first working name talvenor process pid gives the file of that tag
// ("song", "video", "muxed", "frames", "shot") on its way to finalPath.
fs::path workingName(const fs::path& finalPath, const std::string& tag, int pid);

RgbPicture readPicture(const fs::path& png);
// Frame `index` of a raw capture (RGBA, top row first) as RGB.
RgbPicture rawFrame(const fs::path& raw, int width, int height, int index);
std::string fileBytes(const fs::path& path);
// The build folder, where talvenor, the module and the show's files are.
fs::path buildFolder();

// How far two pictures of one size differ: the mean difference per channel
// and the share of pixels with a channel far off.
struct PictureDifference {
    double mean[3] = {0, 0, 0};
    double farOffShare = 0.0;
};
PictureDifference compare(const RgbPicture& a, const RgbPicture& b);
// The golden frames' tolerance: a renderer's rounding may differ (a Mesa
// update), an effect, a projection, a texture or a blend may not.
bool withinGoldenTolerance(const PictureDifference& d);
// The width x height part of picture whose top left corner is x, y.
RgbPicture crop(const RgbPicture& picture, int x, int y, int width, int height);
// Pixels of the part that are not pure black.
long nonBlackPixels(const RgbPicture& picture, int x, int y, int width, int height);

// ffprobe's value of `entry` for the first stream of `type` ("v" or "a"),
// e.g. "nb_read_frames" or "duration"; empty when there is none.
std::string probe(const fs::path& video, const std::string& type, const std::string& entry);
// The video's song decoded by ffmpeg as interleaved 16-bit stereo; empty on
// failure.
std::vector<std::int16_t> decodedSong(const fs::path& video);
// The stereo frames of the video's song, decoded by ffmpeg; -1 on failure.
long long decodedAudioFrames(const fs::path& video);

}  // namespace capture_test
