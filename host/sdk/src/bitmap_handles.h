// The host's side of bitmaps: handles, and the icon buffers bitmaps are made
// from.
//
// An HBITMAP names a bitmap the SDK made (CreateDIBitmap, LoadBitmapW) until
// DeleteObject frees it. A picture control shares the bitmap it shows, so a
// handle freed while shown stays visible there.
//
// The host remembers the buffer of the preview icon it last handed to a
// module, so that a bitmap made from it (CreateDIBitmap gets bare pointers)
// is checked against the icon's real length. A module makes the bitmap right
// after it gets the icon; CreateDIBitmap then forgets the buffer, which the
// module may free at any time after.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "orv/dialogs/bitmap.h"
#include "winapi.h"

namespace orv::sdk {

// A new handle for a bitmap.
HBITMAP addBitmap(std::shared_ptr<const dialogs::Bitmap> bitmap);
// The bitmap of a live handle; null for one freed or never made.
std::shared_ptr<const dialogs::Bitmap> findBitmap(HBITMAP handle);
// The handle that names a bitmap (live or not).
HBITMAP handleOf(const dialogs::Bitmap* bitmap);
// Handles not yet freed.
std::size_t liveBitmapCount();

// Remembers that `size` bytes at `data` hold the icon the host just copied out.
void rememberIconExtent(const void* data, std::size_t size);
// How many bytes lie from `p` to the end of the remembered icon when `p` lies
// in it or just past it; nullopt otherwise.
std::optional<std::size_t> bytesAvailableAt(const void* p);
void forgetIconExtent();

}  // namespace orv::sdk
