#include "controls/win32/PngPicture.h"

#include <cstring>
#include <vector>

const gdip::ColorMatrix DisabledLookMatrix = {{
    {0.2125f, 0.2125f, 0.2125f, 0.0f, 0.0f},
    {0.2577f, 0.2577f, 0.2577f, 0.0f, 0.0f},
    {0.1361f, 0.1361f, 0.1361f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.38f, 0.38f, 0.38f, 0.0f, 1.0f},
}};

void dvPngPicture::release() {
    if (image_) gdip::GdipDisposeImage(image_);
    image_ = nullptr;
    // GDI+ reads the stream for as long as the picture lives, so it goes only now, and the block after it.
    if (stream_) stream_->Release();
    stream_ = nullptr;
    if (imageData_) GlobalFree(imageData_);
    imageData_ = nullptr;
    width_ = height_ = 0;
}

int dvPngPicture::takeSize() {
    if (gdip::GdipGetImageWidth(image_, &width_) != gdip::Ok ||
        gdip::GdipGetImageHeight(image_, &height_) != gdip::Ok) {
        release();
        return 0;
    }
    return 1;
}

int dvPngPicture::loadResource(HMODULE module, int resourceId) {
    release();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "PNG");
    if (!resource) return -1;
    DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = size ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return -1;

    imageData_ = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!imageData_) return 0;
    void* copy = GlobalLock(imageData_);
    if (!copy) {
        release();
        return 0;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(imageData_);
    // FALSE: the stream does not free the block; release() does, after the picture.
    if (FAILED(CreateStreamOnHGlobal(imageData_, FALSE, &stream_)) ||
        gdip::GdipLoadImageFromStream(stream_, &image_) != gdip::Ok) {
        release();
        return 0;
    }
    return takeSize();
}

int dvPngPicture::loadFile(const std::string& path) {
    release();
    int length = MultiByteToWideChar(CP_THREAD_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return 0;
    std::vector<wchar_t> widePath(static_cast<size_t>(length));
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, path.c_str(), -1, widePath.data(), length) <= 0) return 0;
    if (gdip::GdipLoadImageFromFile(widePath.data(), &image_) != gdip::Ok) {
        image_ = nullptr;
        return 0;
    }
    return takeSize();
}

void dvPngPicture::drawNormal(gdip::GpGraphics* graphics, int x, int y) const {
    if (!image_ || width_ == 0 || height_ == 0) return;
    // The pixel size, not the size the file's resolution would give on this screen.
    gdip::GdipDrawImageRectI(graphics, image_, x, y, static_cast<INT>(width_), static_cast<INT>(height_));
}

void dvPngPicture::drawDisabled(gdip::GpGraphics* graphics, const RECT& into) const {
    if (!image_ || width_ == 0 || height_ == 0) return;
    gdip::GpImageAttributes* attributes = nullptr;
    if (gdip::GdipCreateImageAttributes(&attributes) != gdip::Ok) return;
    gdip::GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeDefault, TRUE, &DisabledLookMatrix,
                                            nullptr, Gdiplus::ColorMatrixFlagsDefault);
    gdip::GdipDrawImageRectRectI(graphics, image_, into.left, into.top, into.right - into.left,
                                 into.bottom - into.top, 0, 0, static_cast<INT>(width_), static_cast<INT>(height_),
                                 Gdiplus::UnitPixel, attributes, nullptr, nullptr);
    gdip::GdipDisposeImageAttributes(attributes);
}
