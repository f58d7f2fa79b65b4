// kbfsamples: writes one sample firmware file per tag ("sample-<tag>.kbf") into a folder, so that there
// is something to program the simulator with. Usage: kbfsamples <folder>
#include "ecusim/firmware.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: kbfsamples <folder>\n");
        return 2;
    }
    for (std::string_view tag : ecusim::kFirmwareTags) {
        const bool for5534 =
            ecusim::TagSystemType(std::span(reinterpret_cast<const std::uint8_t*>(tag.data()), tag.size())) ==
            0x5534;
        const ecusim::AppInfo app{
            for5534 ? "SAMPLE 5534" : "SAMPLE 5600", 2, 0, "s", "sample image", std::string(tag)};
        const std::vector<std::uint8_t> file =
            ecusim::MakeFirmwareFile(tag, ecusim::MakeFirmwareImage(app, ecusim::kSampleImageSize));
        const std::string path = std::string(argv[1]) + "/sample-" + std::string(tag) + ".kbf";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (!out) {
            std::fprintf(stderr, "kbfsamples: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
