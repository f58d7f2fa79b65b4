#include "orvane/core/logic/imageview.h"

#include "orvane/core/logic/images.h"

std::span<std::byte> ImageBytes(Image image) {
    return image == Image::Par ? BytesOf(ecuParData) : BytesOf(ecuMapData);
}

std::span<std::byte> ImageBytes(Image image, std::size_t offset, std::size_t size) {
    const std::span<std::byte> all = ImageBytes(image);
    if (size == 0 || offset > all.size() || size > all.size() - offset) return {};
    return all.subspan(offset, size);
}
