// A module that exports a resource table: one dialog with one radio button
// and one bitmap, found by the host through the module's handle.
#include "orvres.h"
#include "rxdefs.h"

namespace {

const unsigned char kOnePixel[] = {40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                   4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0x00, 0x00, 0xFF, 0};  // one red pixel, padded
const ORV_DIALOG_ITEM kItems[] = {
    {301, L"BUTTON", L"唯一", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP, 7, 7, 50, 10},
};
const ORV_DIALOG_TEMPLATE kDialogs[] = {{300, L"资源模块", L"Microsoft Sans Serif", 8, WS_POPUP, 100, 50, kItems, 1}};
const ORV_BITMAP_RESOURCE kBitmaps[] = {{310, kOnePixel, sizeof kOnePixel}};
const ORV_RESOURCE_TABLE kResources = {kDialogs, 1, kBitmaps, 1, nullptr, 0};

}  // namespace

IMPLEMENT_ARX_RESOURCES(kResources)

ORV_MODULE_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode, void*) { return AcRx::kRetOK; }
ORV_MODULE_EXPORT int acrxGetApiVersion() { return ACRX_API_VERSION; }
