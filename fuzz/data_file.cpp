// The data-file loader fed arbitrary files of either kind, as the start-up load and the Load button read
// them. The first byte picks the kind, whether the file is cut or padded to the image's size (so that the
// header checks see it), whether the load is start-up's silent one or the one that asks, and how a
// version question is answered.
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/datafile.h"
#include "orvane/core/ui/settings.h"
#include "platform/sys/textout.h"
#include "platform/ui/popup.h"
#include "platform/ui/userint.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

bool answerYes = false;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    SetPopupHook([](const PopupRequest&) { return PopupAnswer{answerYes ? 1 : 0, {}}; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint16_t kind = (data[0] & 1) != 0 ? kMapKind : kParKind;
    const std::size_t imageSize = kind == kMapKind ? sizeof ecuMapData : sizeof ecuParData;
    answerYes = (data[0] & 4) != 0;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((data[0] & 2) != 0) bytes.resize(imageSize, '\0');
    const std::string path =
        "/tmp/orvane-fuzz-" + std::to_string(getpid()) + (kind == kMapKind ? ".emd" : ".ecd");
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    CopyText(path, kind == kMapKind ? std::span<char>(cfg.mapFile) : std::span<char>(cfg.parFile));
    LoadEcu((data[0] & 8) != 0 ? kLoadRemembered : kLoadSilently, kind);
    std::remove(path.c_str());
    return 0;
}
