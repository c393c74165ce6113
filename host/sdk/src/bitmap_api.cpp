// Bitmaps of the SDK: made from device-independent bitmaps, freed with
// DeleteObject, shown by picture controls; and where icon buffers end.
#include "bitmap_handles.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "orv/dialogs/dib.h"

namespace orv::sdk {

namespace {

struct Extent {
  std::uintptr_t begin = 0;
  std::size_t size = 0;
};

Extent& lastIcon() {
  static Extent icon;
  return icon;
}

std::unordered_map<const dialogs::Bitmap*, std::shared_ptr<const dialogs::Bitmap>>& handles() {
  static std::unordered_map<const dialogs::Bitmap*, std::shared_ptr<const dialogs::Bitmap>> table;
  return table;
}

}  // namespace

void rememberIconExtent(const void* data, std::size_t size) {
  lastIcon() = Extent{reinterpret_cast<std::uintptr_t>(data), size};
}

std::optional<std::size_t> bytesAvailableAt(const void* p) {
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const Extent& e = lastIcon();
  // The end itself belongs to the icon: rows that would start there have no bytes.
  if (e.size == 0 || at < e.begin || at - e.begin > e.size) return std::nullopt;
  return e.size - (at - e.begin);
}

void forgetIconExtent() { lastIcon() = Extent{}; }

HBITMAP addBitmap(std::shared_ptr<const dialogs::Bitmap> bitmap) {
  if (!bitmap) return nullptr;
  const dialogs::Bitmap* key = bitmap.get();
  handles().emplace(key, std::move(bitmap));
  return handleOf(key);
}

std::shared_ptr<const dialogs::Bitmap> findBitmap(HBITMAP handle) {
  auto it = handles().find(reinterpret_cast<const dialogs::Bitmap*>(handle));
  return it == handles().end() ? nullptr : it->second;
}

HBITMAP handleOf(const dialogs::Bitmap* bitmap) {
  return reinterpret_cast<HBITMAP>(const_cast<dialogs::Bitmap*>(bitmap));
}

std::size_t liveBitmapCount() { return handles().size(); }

}  // namespace orv::sdk

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  using orv::dialogs::kDibHeaderSize;
  using orv::sdk::bytesAvailableAt;
  // Whatever comes of this call, the icon it may stand on is used up.
  struct Forget {
    ~Forget() { orv::sdk::forgetIconExtent(); }
  } forget;
  if (!header || !info || !bits || !(init & CBM_INIT) || usage != DIB_RGB_COLORS) return nullptr;
  // Where a part lies in an icon the host handed out, it must fit in it.
  auto fits = [](const void* p, std::size_t size) {
    auto available = bytesAvailableAt(p);
    return !available || *available >= size;
  };
  if (!fits(header, kDibHeaderSize) || !fits(info, kDibHeaderSize)) return nullptr;
  // The header must say what the header in `info` says.
  const auto* headerBytes = reinterpret_cast<const std::uint8_t*>(header);
  const auto* infoBytes = reinterpret_cast<const std::uint8_t*>(info);
  if (!std::equal(headerBytes, headerBytes + kDibHeaderSize, infoBytes)) return nullptr;
  auto headerResult = orv::dialogs::readDibHeader({infoBytes, kDibHeaderSize});
  if (!headerResult.layout) return nullptr;
  // The colour table and the rows are read only as far as the header says.
  const std::size_t infoSize = headerResult.layout->infoBytes();
  const std::size_t bitsSize = headerResult.layout->imageBytes();
  if (!fits(info, infoSize) || !fits(bits, bitsSize)) return nullptr;
  auto decoded = orv::dialogs::decodeDib({infoBytes, infoSize}, {static_cast<const std::uint8_t*>(bits), bitsSize});
  if (!decoded.bitmap) return nullptr;
  return orv::sdk::addBitmap(std::make_shared<const orv::dialogs::Bitmap>(std::move(*decoded.bitmap)));
}

BOOL DeleteObject(HGDIOBJ object) {
  auto& table = orv::sdk::handles();
  return table.erase(static_cast<const orv::dialogs::Bitmap*>(object)) ? TRUE : FALSE;
}
