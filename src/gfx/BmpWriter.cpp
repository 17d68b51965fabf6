#include "BmpWriter.h"

#include <cstdint>

#include "common/Files.h"

namespace qelt {
namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string EncodeBmp24(int width, int height, const std::vector<Colour>& pixels) {
    if (width < 0 || height < 0 || pixels.size() < static_cast<size_t>(width) * height) return {};
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::string out;
    out.reserve(54 + imageBytes);
    out += "BM";
    PutLe(out, 54 + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(width), 4);
    PutLe(out, static_cast<std::uint32_t>(height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            Colour c = pixels[static_cast<size_t>(y) * width + x];
            out.push_back(static_cast<char>(BlueOf(c)));
            out.push_back(static_cast<char>(GreenOf(c)));
            out.push_back(static_cast<char>(RedOf(c)));
        }
        out.append(rowBytes - (out.size() - start), '\0');
    }
    return out;
}

bool WriteBmp24(const std::string& path, int width, int height, const std::vector<Colour>& pixels) {
    std::string bytes = EncodeBmp24(width, height, pixels);
    return !bytes.empty() && WriteFileAtomic(path, bytes);
}

}  // namespace qelt
