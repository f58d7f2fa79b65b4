// kbfsamples: writes the sample firmware files (see SampleFirmwareFiles) into a folder, so that there is
// something to program the simulator with, and a way back to the application the workbench talks to.
// Usage: kbfsamples <folder>
#include "ecusim/firmware.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: kbfsamples <folder>\n");
        return 2;
    }
    for (const ecusim::SampleFirmware& file : ecusim::SampleFirmwareFiles()) {
        const std::string path = std::string(argv[1]) + "/" + file.fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "kbfsamples: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
