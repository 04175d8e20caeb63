// The GDI+ flat API (gdiplus.dll) as the drawn controls use it: mingw-w64's own declarations, with the names
// used listed once here so that a reader sees every call that reaches GDI+.
//
// GDI+ must be started (GdiplusStartup) before any picture is loaded; the application object does it, and
// the Wine tests do it themselves.
#pragma once

#include <windows.h>
// IStream: WIN32_LEAN_AND_MEAN keeps it out of windows.h, and gdiplus.h needs it.
#include <objidl.h>
#include <gdiplus.h>

namespace gdip {

// Types
using Gdiplus::ARGB;
using Gdiplus::ColorMatrix;
using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpImageAttributes;
using Gdiplus::GpPen;
using Gdiplus::GpStatus;
inline constexpr GpStatus Ok = Gdiplus::Ok;

// Start-up and shutdown
using Gdiplus::GdiplusShutdown;
using Gdiplus::GdiplusStartup;
using Gdiplus::GdiplusStartupInput;

// Pictures
using Gdiplus::DllExports::GdipDisposeImage;
using Gdiplus::DllExports::GdipGetImageHeight;
using Gdiplus::DllExports::GdipGetImageWidth;
using Gdiplus::DllExports::GdipLoadImageFromFile;
using Gdiplus::DllExports::GdipLoadImageFromStream;

// Drawing on a device context
using Gdiplus::DllExports::GdipCreateFromHDC;
using Gdiplus::DllExports::GdipDeleteGraphics;
using Gdiplus::DllExports::GdipDrawImageRectI;
using Gdiplus::DllExports::GdipDrawImageRectRectI;
using Gdiplus::DllExports::GdipDrawRectangleI;

// Colour matrix of the disabled look
using Gdiplus::DllExports::GdipCreateImageAttributes;
using Gdiplus::DllExports::GdipDisposeImageAttributes;
using Gdiplus::DllExports::GdipSetImageAttributesColorMatrix;

// Pens
using Gdiplus::DllExports::GdipCreatePen1;
using Gdiplus::DllExports::GdipDeletePen;

}  // namespace gdip
