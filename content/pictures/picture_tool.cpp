// picture_tool: paints the nine pictures, encodes them as JPEG and writes, in
// one run, the scrambled archive, the module's entry table and a plain copy of
// each picture for looking at.
//   picture_tool ARCHIVE ENTRY_TABLE_SOURCE PICTURE_DIRECTORY
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "jpeg_encoder.h"
#include "picture_catalog.h"

namespace {

// Each slot must be fed by exactly one picture.
bool slotsComplete() {
    bool seen[kPictureCount] = {};
    for (const PictureSpec& spec : kPictureCatalog) {
        if (spec.slot < 0 || spec.slot >= kPictureCount || seen[spec.slot]) return false;
        seen[spec.slot] = true;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ARCHIVE ENTRY_TABLE_SOURCE PICTURE_DIRECTORY\n", argv[0]);
        return 2;
    }
    if (!slotsComplete()) {
        std::fprintf(stderr, "picture_tool: the catalog does not feed each slot once\n");
        return 1;
    }
    const std::string pictureDirectory = argv[3];
    mkdir(pictureDirectory.c_str(), 0755);

    std::vector<EncodedPicture> pictures;
    for (const PictureSpec& spec : kPictureCatalog) {
        const RgbImage image = spec.paint(spec.size);
        EncodedPicture picture{
            spec.slot, encodeJpeg(image.rgb.data(), image.size, image.size, 3, spec.quality)};
        const std::string plainPath =
            pictureDirectory + "/" + std::to_string(spec.slot) + "_" + spec.name + ".jpg";
        if (!writeFile(plainPath, picture.jpeg.data(), picture.jpeg.size())) {
            std::fprintf(stderr, "picture_tool: cannot write %s\n", plainPath.c_str());
            return 1;
        }
        std::printf("slot %d %-11s %3d x %3d %6zu bytes\n", spec.slot, spec.name, image.size,
                    image.size, picture.jpeg.size());
        pictures.push_back(std::move(picture));
    }

    const std::vector<std::uint8_t> archive = buildArchive(pictures);
    const std::string table = buildEntryTable(pictures);
    if (!writeFile(argv[1], archive.data(), archive.size()) ||
        !writeFile(argv[2], table.data(), table.size())) {
        std::fprintf(stderr, "picture_tool: cannot write the archive or its entry table\n");
        return 1;
    }
    std::printf("%s: %zu bytes\n", argv[1], archive.size());
    return 0;
}
