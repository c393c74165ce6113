// Small modules for testing the host's module handling. One source, built in
// variants: a well-behaved module registering one "BASIC" command, one built
// for another API version, one without acrxGetApiVersion, and one that stays
// locked.
#include <cstdio>

#include "AcRxArxApp.h"
#include "acedads.h"

namespace {

void hello() { acutPrintf(L"\n%ls", L"你好，测试模块。"); }

#if defined(ORV_TEST_LOCKED)
class TestApp : public AcRxArxApp {
 public:
  TestApp() { m_bUnlockAppOnLoad = false; }
};
#else
class TestApp : public AcRxArxApp {};
#endif

const _ACED_ARXCOMMAND_ENTRY kCommands[] = {
    {L"BASIC", L"TestHello", L"THELLO", ACRX_CMD_TRANSPARENT, hello, nullptr, -1},
};

}  // namespace

#if defined(ORV_TEST_WRONG_VERSION)
static TestApp theApp;
ORV_MODULE_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
  return theApp.dispatch(msg, pkt);
}
ORV_MODULE_EXPORT int acrxGetApiVersion() { return ACRX_API_VERSION + 1; }
#elif defined(ORV_TEST_NO_VERSION)
static TestApp theApp;
ORV_MODULE_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
  return theApp.dispatch(msg, pkt);
}
#else
IMPLEMENT_ARX_ENTRYPOINT(TestApp, kCommands)
#endif
