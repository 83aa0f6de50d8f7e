#pragma once
// One picture loaded from a Windows bitmap file: the bytes after the 14-byte file header (bitmap
// header, colour table, pixel rows), its size from the header, and drawing stretched into a
// rectangle without blending.
#include <QImage>
#include <string>
#include <vector>

class QPainter;

namespace vrx::gui {

class MYBMP {
  public:
    // False for a file that is missing, shorter than its 14-byte header, does not begin with "BM",
    // or cannot be read whole; a picture held before is kept then.
    bool load(const std::string& path);
    bool loaded() const { return !dib_.empty(); }
    const std::string& path() const { return path_; }

    // Width and height from the bitmap header (16-bit fields in the 12-byte form, 32-bit in the
    // 40-byte and later forms); false when the header cannot be read.
    bool size(int& width, int& height) const;
    // Entries of the colour table: 2, 16 or 256 by the bit count (the used-colours field when set in
    // the 40-byte form); 0 for pictures without a palette.
    int paletteEntries() const;

    // Stretches the whole picture into the rectangle; with width 0, height is a percentage of the
    // picture's own size.
    void draw(QPainter& p, int x, int y, int width, int height) const;

  private:
    std::string path_;
    std::vector<unsigned char> dib_;
    QImage image_;
};

}  // namespace vrx::gui
