#include "gui/alarms/mybmp.h"

#include <QPainter>
#include <cstdio>

namespace vrx::gui {
namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kReadPiece = 16384;

unsigned u16(const std::vector<unsigned char>& b, size_t at) {
    return at + 2 <= b.size() ? static_cast<unsigned>(b[at] | (b[at + 1] << 8)) : 0;
}

long s32(const std::vector<unsigned char>& b, size_t at) {
    if (at + 4 > b.size()) return 0;
    const uint32_t v = static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
                       (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
    return static_cast<int32_t>(v);
}

}  // namespace

bool MYBMP::load(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char header[kFileHeader];
    if (std::fread(header, 1, kFileHeader, f) != kFileHeader || header[0] != 'B' || header[1] != 'M') {
        std::fclose(f);
        return false;
    }
    // The length comes from the file itself, not from the header's size field.
    std::fseek(f, 0, SEEK_END);
    const long length = std::ftell(f);
    std::fseek(f, static_cast<long>(kFileHeader), SEEK_SET);
    if (length < static_cast<long>(kFileHeader)) {
        std::fclose(f);
        return false;
    }
    std::vector<unsigned char> dib(static_cast<size_t>(length) - kFileHeader);
    for (size_t done = 0; done < dib.size();) {
        const size_t piece = std::min(kReadPiece, dib.size() - done);
        if (std::fread(dib.data() + done, 1, piece, f) != piece) {
            std::fclose(f);
            return false;
        }
        done += piece;
    }
    std::fclose(f);
    std::vector<unsigned char> whole(header, header + kFileHeader);
    whole.insert(whole.end(), dib.begin(), dib.end());
    path_ = path.substr(0, 255);
    dib_ = std::move(dib);
    image_ = QImage::fromData(whole.data(), static_cast<int>(whole.size()), "BMP");
    return true;
}

bool MYBMP::size(int& width, int& height) const {
    const unsigned headerSize = u16(dib_, 0);
    if (headerSize == 12) {
        width = static_cast<int>(u16(dib_, 4));
        height = static_cast<int>(u16(dib_, 6));
        return true;
    }
    if (headerSize >= 40 && dib_.size() >= 12) {
        width = static_cast<int>(s32(dib_, 4));
        height = static_cast<int>(std::labs(s32(dib_, 8)));  // negative: rows stored top-down
        return width > 0 && height > 0;
    }
    return false;
}

int MYBMP::paletteEntries() const {
    const unsigned headerSize = u16(dib_, 0);
    const unsigned bits = headerSize == 12 ? u16(dib_, 10) : u16(dib_, 14);
    const int byBits = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    if (headerSize == 12) return byBits;
    if (headerSize < 40) return 0;
    const long used = s32(dib_, 32);
    return used != 0 && byBits != 0 ? static_cast<int>(used) : byBits;
}

void MYBMP::draw(QPainter& p, int x, int y, int width, int height) const {
    if (image_.isNull()) return;
    if (width == 0) {
        width = image_.width() * height / 100;
        height = image_.height() * height / 100;
    }
    // Rows and columns are dropped or repeated, never blended.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(x, y, width, height), image_);
}

}  // namespace vrx::gui
