// A PNG picture decoded by GDI+, as the image button and the image static hold it: loaded from a "PNG"
// resource of the program or from a file, drawn in its own size or in the light-grey disabled look.
#pragma once

#include <string>

#include "controls/win32/GdiplusFlat.h"

class dvPngPicture {
public:
    dvPngPicture() = default;
    ~dvPngPicture() { release(); }
    dvPngPicture(const dvPngPicture&) = delete;
    dvPngPicture& operator=(const dvPngPicture&) = delete;

    // Replaces the picture with the "PNG" resource resourceId of module. The resource's bytes are copied into a
    // movable global memory block that the picture's stream reads and that lives as long as the picture.
    // 1 loaded, -1 resource missing or empty, 0 memory or decoding failure (no picture is left then).
    int loadResource(HMODULE module, int resourceId);
    // Replaces the picture with a PNG file (path in the thread's ANSI code page). 1 loaded, 0 on failure.
    int loadFile(const std::string& path);
    // Drops the picture and its memory block.
    void release();

    bool loaded() const { return image_ != nullptr; }
    // The picture's size in pixels; 0 without a picture.
    int width() const { return static_cast<int>(width_); }
    int height() const { return static_cast<int>(height_); }

    // Normal look: the picture at (x, y) in its own pixel size.
    void drawNormal(gdip::GpGraphics* graphics, int x, int y) const;
    // Disabled look: the whole picture scaled into `into` through the grey colour matrix (every colour channel
    // becomes 0.2125 R + 0.2577 G + 0.1361 B + 0.38; alpha is kept).
    void drawDisabled(gdip::GpGraphics* graphics, const RECT& into) const;

private:
    int takeSize();

    gdip::GpImage* image_ = nullptr;
    HGLOBAL imageData_ = nullptr;
    IStream* stream_ = nullptr;
    UINT width_ = 0, height_ = 0;
};

// The disabled look's matrix in GDI+ row order (rows red, green, blue, alpha, translation; each row gives its
// contributions to red, green, blue and alpha of the result).
extern const gdip::ColorMatrix DisabledLookMatrix;
