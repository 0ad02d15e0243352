// The JPEG layer: the four steps on good pictures, and failure statuses (not
// aborts or hangs) for missing, foreign, truncated, oversized and linked files.
#include "assets/jpeg_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "asset_test_support.h"

namespace {

using namespace assets_test;

struct Decoded {
    int parameterStatus = -1;
    int pictureStatus = -1;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The four steps as the texture slots take them.
Decoded decode(const std::string& path, int channels) {
    Decoded result;
    JpegRecord record;
    EXPECT_EQ(jpegInitRecord(&record), kJpegOk);
    record.filePath = path.c_str();
    result.parameterStatus = jpegRead(&record, JpegReadMode::kParameters);
    if (result.parameterStatus == kJpegOk) {
        result.width = record.width;
        result.height = record.height;
        result.pixels.resize(static_cast<std::size_t>(record.width) * record.height * channels);
        record.pixels = result.pixels.data();
        record.outputWidth = record.width;
        record.outputHeight = record.height;
        record.outputChannels = channels;
        record.outputColorSpace = channels == 1 ? kJpegColorGrey : kJpegColorRgb;
        result.pictureStatus = jpegRead(&record, JpegReadMode::kWholePicture);
    }
    EXPECT_EQ(jpegReleaseRecord(&record), kJpegOk);
    return result;
}

class JpegReaderTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;
};

TEST_F(JpegReaderTest, DecodesColourAndGreyTightlyPacked) {
    writeBytes(scratch / "flat.jpg", flatJpeg(7, 5, 200, 100, 50));
    const Decoded rgb = decode(scratch / "flat.jpg", 3);
    ASSERT_EQ(rgb.parameterStatus, kJpegOk);
    ASSERT_EQ(rgb.pictureStatus, kJpegOk);
    EXPECT_EQ(rgb.width, 7);
    EXPECT_EQ(rgb.height, 5);
    ASSERT_EQ(rgb.pixels.size(), 7u * 5u * 3u);
    for (std::size_t i = 0; i < rgb.pixels.size(); i += 3) {
        EXPECT_NEAR(rgb.pixels[i], 200, 3);
        EXPECT_NEAR(rgb.pixels[i + 1], 100, 3);
        EXPECT_NEAR(rgb.pixels[i + 2], 50, 3);
    }
    // Grey is the luminance: 0.299 R + 0.587 G + 0.114 B.
    const Decoded grey = decode(scratch / "flat.jpg", 1);
    ASSERT_EQ(grey.pictureStatus, kJpegOk);
    ASSERT_EQ(grey.pixels.size(), 7u * 5u);
    for (std::uint8_t value : grey.pixels) EXPECT_NEAR(value, 124, 3);
}

TEST_F(JpegReaderTest, RowsComeOutInFileOrder) {
    writeBytes(scratch / "ramp.jpg", rampJpeg(5, 3, 100));
    const Decoded rgb = decode(scratch / "ramp.jpg", 3);
    ASSERT_EQ(rgb.pictureStatus, kJpegOk);
    const std::vector<std::uint8_t> expected = rampPixels(5, 3);
    ASSERT_EQ(rgb.pixels.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        // Chroma is coded at half resolution, so sharp steps blur a little.
        EXPECT_NEAR(rgb.pixels[i], expected[i], 40) << "byte " << i;
    }
    // The second row is greener than the first, the third greener still.
    EXPECT_GT(rgb.pixels[5 * 3 + 1], rgb.pixels[1] + 30);
    EXPECT_GT(rgb.pixels[10 * 3 + 1], rgb.pixels[5 * 3 + 1] + 30);
}

TEST_F(JpegReaderTest, MissingForeignAndEmptyFilesFail) {
    EXPECT_EQ(decode(scratch / "absent.jpg", 3).parameterStatus, kJpegOpenFailed);
    writeBytes(scratch / "text.jpg", {'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G'});
    EXPECT_EQ(decode(scratch / "text.jpg", 3).parameterStatus, kJpegCorrupt);
    writeBytes(scratch / "empty.jpg", {});
    EXPECT_NE(decode(scratch / "empty.jpg", 3).parameterStatus, kJpegOk);
    EXPECT_EQ(decode(scratch.path(), 3).parameterStatus, kJpegOpenFailed);
}

TEST_F(JpegReaderTest, EveryTruncationFails) {
    const std::vector<std::uint8_t> whole = rampJpeg(64, 48);
    for (std::size_t cut = 1; cut < whole.size(); cut += (cut < 700 ? 13 : 97)) {
        writeBytes(scratch / "cut.jpg", {whole.begin(), whole.begin() + cut});
        const Decoded result = decode(scratch / "cut.jpg", 3);
        EXPECT_TRUE(result.parameterStatus != kJpegOk || result.pictureStatus != kJpegOk)
            << "cut at " << cut << " of " << whole.size();
    }
    // Only the end-of-image marker missing.
    writeBytes(scratch / "cut.jpg", {whole.begin(), whole.end() - 2});
    EXPECT_NE(decode(scratch / "cut.jpg", 3).pictureStatus, kJpegOk);
}

TEST_F(JpegReaderTest, OversizedPictureIsRefusedBeforeAnyBuffer) {
    std::vector<std::uint8_t> bytes = flatJpeg(16, 16, 10, 20, 30);
    // Baseline frame header: FF C0, length (2), precision (1), height (2), width (2).
    std::size_t sof = 0;
    while (sof + 1 < bytes.size() && !(bytes[sof] == 0xFF && bytes[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 9, bytes.size());
    bytes[sof + 5] = 0x40;  // height 16384 + 16
    bytes[sof + 7] = 0x40;  // width 16384 + 16
    writeBytes(scratch / "huge.jpg", bytes);
    EXPECT_EQ(decode(scratch / "huge.jpg", 3).parameterStatus, kJpegTooLarge);
}

TEST_F(JpegReaderTest, SymbolicLinksAndFifosAreNotOpened) {
    writeBytes(scratch / "real.jpg", flatJpeg(8, 8, 1, 2, 3));
    ASSERT_EQ(symlink((scratch / "real.jpg").c_str(), (scratch / "link.jpg").c_str()), 0);
    EXPECT_EQ(decode(scratch / "link.jpg", 3).parameterStatus, kJpegOpenFailed);
    ASSERT_EQ(mkfifo((scratch / "fifo.jpg").c_str(), 0600), 0);
    EXPECT_EQ(decode(scratch / "fifo.jpg", 3).parameterStatus, kJpegOpenFailed);
}

TEST_F(JpegReaderTest, PictureReadNeedsAMatchingOutput) {
    writeBytes(scratch / "flat.jpg", flatJpeg(8, 4, 1, 2, 3));
    std::vector<std::uint8_t> pixels(8 * 4 * 3);
    JpegRecord record;
    ASSERT_EQ(jpegInitRecord(&record), kJpegOk);
    const std::string path = scratch / "flat.jpg";
    record.filePath = path.c_str();
    ASSERT_EQ(jpegRead(&record, JpegReadMode::kParameters), kJpegOk);
    record.outputWidth = 8;
    record.outputHeight = 4;
    record.outputChannels = 3;
    record.outputColorSpace = kJpegColorRgb;
    EXPECT_EQ(jpegRead(&record, JpegReadMode::kWholePicture), kJpegBadArgument);  // no buffer
    record.pixels = pixels.data();
    record.outputHeight = 5;
    EXPECT_EQ(jpegRead(&record, JpegReadMode::kWholePicture), kJpegBadArgument);
    record.outputHeight = 4;
    record.outputColorSpace = kJpegColorGrey;
    EXPECT_EQ(jpegRead(&record, JpegReadMode::kWholePicture), kJpegBadArgument);
    record.outputColorSpace = kJpegColorRgb;
    EXPECT_EQ(jpegRead(&record, JpegReadMode::kWholePicture), kJpegOk);
    EXPECT_EQ(jpegReleaseRecord(&record), kJpegOk);
    EXPECT_EQ(record.file, nullptr);
    EXPECT_NE(jpegInitRecord(nullptr), kJpegOk);
}

}  // namespace
