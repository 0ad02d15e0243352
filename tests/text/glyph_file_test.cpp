// glyphs.bin, the letters of the build on the GL subset: the file the build
// made holds exactly what the font layer cuts now (every triangle, normal and
// advance of the 255 glyph lists), files read back what was written, and
// missing, short or damaged files are refused with a reason.
#include "effects/glyph_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "effects/glyph_cutter.h"
#include "effects/text_font.h"

namespace {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}

class GlyphFileTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_ =
        fs::temp_directory_path() / ("sorvanel-glyphs-" + std::to_string(::getpid()));
};

TEST_F(GlyphFileTest, TheBuiltFileHoldsWhatTheFontLayerCuts) {
    GlyphFile file;
    std::string error;
    ASSERT_TRUE(readGlyphFile(SORVANEL_GLYPHS_FILE, file, error)) << error;
    std::vector<GlyphGeometry> cut;
    FontFaceFile face;
    ASSERT_TRUE(cutGlyphs(kTextFontFace, kTextGlyphDepth, cut, &face));
    EXPECT_EQ(file.depth, kTextGlyphDepth);
    EXPECT_EQ(file.family, face.family);
    ASSERT_EQ(file.glyphs.size(), 255u);
    ASSERT_EQ(cut.size(), 255u);
    std::size_t triangles = 0;
    for (std::size_t code = 0; code < cut.size(); ++code) {
        const GlyphGeometry& a = file.glyphs[code];
        const GlyphGeometry& b = cut[code];
        ASSERT_EQ(a.advance, b.advance) << "code " << code;
        ASSERT_EQ(a.runs.size(), b.runs.size()) << "code " << code;
        for (std::size_t r = 0; r < a.runs.size(); ++r) {
            ASSERT_EQ(std::memcmp(a.runs[r].normal, b.runs[r].normal, sizeof a.runs[r].normal), 0)
                << "code " << code << " run " << r;
            ASSERT_EQ(a.runs[r].positions, b.runs[r].positions) << "code " << code << " run " << r;
            triangles += a.runs[r].positions.size() / 9;
        }
    }
    // Letters and digits have caps and walls; the space only an advance.
    EXPECT_GT(file.glyphs['M'].runs.size(), 10u);
    EXPECT_TRUE(file.glyphs[' '].runs.empty());
    EXPECT_GT(file.glyphs[' '].advance, 0.1);
    EXPECT_GT(triangles, 10000u);
}

GlyphFile smallFile() {
    GlyphFile f;
    f.depth = 0.5f;
    f.family = "Test Sans";
    GlyphGeometry g;
    g.advance = 0.625;
    GlyphRun run;
    run.normal[0] = -0.6f;
    run.normal[1] = 0.8f;
    run.normal[2] = 0.0f;
    run.positions = {0, 0, 0, 1, 0, 0, 1, 1, -0.5f};
    g.runs.push_back(run);
    f.glyphs.push_back(g);
    f.glyphs.push_back(GlyphGeometry{{}, 0.25});
    return f;
}

TEST_F(GlyphFileTest, WhatIsWrittenReadsBackTheSame) {
    const GlyphFile written = smallFile();
    std::string error;
    ASSERT_TRUE(writeGlyphFile((folder_ / "g.bin").string(), written, error)) << error;
    EXPECT_FALSE(fs::exists(folder_ / "g.bin.partial"));
    GlyphFile read;
    ASSERT_TRUE(readGlyphFile((folder_ / "g.bin").string(), read, error)) << error;
    EXPECT_EQ(read.depth, 0.5f);
    EXPECT_EQ(read.family, "Test Sans");
    ASSERT_EQ(read.glyphs.size(), 2u);
    EXPECT_EQ(read.glyphs[0].advance, 0.625);
    ASSERT_EQ(read.glyphs[0].runs.size(), 1u);
    EXPECT_EQ(read.glyphs[0].runs[0].normal[1], 0.8f);
    EXPECT_EQ(read.glyphs[0].runs[0].positions, written.glyphs[0].runs[0].positions);
    EXPECT_TRUE(read.glyphs[1].runs.empty());
    // Little-endian on disk: the magic, then a count of 2.
    const std::string bytes = bytesOf(folder_ / "g.bin");
    EXPECT_EQ(bytes.substr(0, 8), "SVGLYPH1");
    EXPECT_EQ(bytes.substr(8, 4), std::string("\x02\x00\x00\x00", 4));
}

TEST_F(GlyphFileTest, MissingShortAndDamagedFilesAreRefused) {
    std::string error;
    GlyphFile read;
    EXPECT_FALSE(readGlyphFile((folder_ / "none.bin").string(), read, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);

    ASSERT_TRUE(writeGlyphFile((folder_ / "good.bin").string(), smallFile(), error));
    const std::string good = bytesOf(folder_ / "good.bin");
    const fs::path bad = folder_ / "bad.bin";
    // Cut short anywhere.
    for (std::size_t length = 0; length < good.size(); ++length) {
        writeBytes(bad, good.substr(0, length));
        EXPECT_FALSE(readGlyphFile(bad.string(), read, error)) << "length " << length;
    }
    // A byte too many, a wrong magic, a glyph count far beyond the file.
    writeBytes(bad, good + "x");
    EXPECT_FALSE(readGlyphFile(bad.string(), read, error));
    std::string damaged = good;
    damaged[0] = 'X';
    writeBytes(bad, damaged);
    EXPECT_FALSE(readGlyphFile(bad.string(), read, error));
    damaged = good;
    damaged[11] = '\x7F';
    writeBytes(bad, damaged);
    EXPECT_FALSE(readGlyphFile(bad.string(), read, error));
    // A vertex count that leaves a triangle unfinished, and a coordinate that is no number.
    GlyphFile odd = smallFile();
    odd.glyphs[0].runs[0].positions.resize(6);
    ASSERT_TRUE(writeGlyphFile(bad.string(), odd, error));
    EXPECT_FALSE(readGlyphFile(bad.string(), read, error));
    GlyphFile nan = smallFile();
    nan.glyphs[0].runs[0].positions[4] = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(writeGlyphFile(bad.string(), nan, error));
    EXPECT_FALSE(readGlyphFile(bad.string(), read, error));
    // The last good read is kept as it was.
    ASSERT_TRUE(readGlyphFile((folder_ / "good.bin").string(), read, error));
    EXPECT_FALSE(readGlyphFile(bad.string(), read, error));
    EXPECT_EQ(read.family, "Test Sans");
}

TEST_F(GlyphFileTest, AFolderThatCannotBeWrittenLeavesNothingBehind) {
    std::string error;
    EXPECT_FALSE(writeGlyphFile((folder_ / "no" / "such" / "g.bin").string(), smallFile(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(folder_ / "no"));
}

}  // namespace
