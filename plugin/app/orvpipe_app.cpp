// The module's entry point, application object, command table and the entry
// function behind each command.
#include "app/orvpipe_app.h"

#include "AcRxArxApp.h"
#include "app/settings_path.h"
#include "fittings/DrawDXTCmd.h"
#include "fittings/DrawSTCmd.h"
#include "fittings/DrawUDWTCmd.h"
#include "fittings/DrawWTCmd.h"
#include "parts/DrawFMCmd.h"
#include "parts/DrawZDYCmd.h"
#include "pipes/pipe_run_workers.h"
#include "res/orvpipe_res.h"
#include "styles/ChangeLineTypeCmd.h"
#include "styles/ChangePipeParametersCmd.h"

namespace {

// Each command: a worker on the stack, given the settings path, run once.
template <class Worker>
void runCommand() {
  Worker worker;
  worker.m_iniPath = settingsFilePath();
  worker.run();
}

class CorvandelApp : public AcRxArxApp {
 public:
  AcRx::AppRetCode On_kInitAppMsg(void* pkt) override { return AcRxArxApp::On_kInitAppMsg(pkt); }
  AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override { return AcRxArxApp::On_kUnloadAppMsg(pkt); }
  void RegisterServerComponents() override {}
};

// The commands in registration order, all in group "BASIC".
const _ACED_ARXCOMMAND_ENTRY kCommandTable[] = {
    {L"BASIC", L"DrawLine", L"GD", ACRX_CMD_TRANSPARENT, runCommand<CDrawLineCmd>, nullptr, -1},
    {L"BASIC", L"DrawWT", L"WT", ACRX_CMD_TRANSPARENT, runCommand<CDrawWTCmd>, nullptr, -1},
    {L"BASIC", L"DrawUDWT", L"DWT", ACRX_CMD_TRANSPARENT, runCommand<CDrawUDWTCmd>, nullptr, -1},
    {L"BASIC", L"ChangeLineType", L"CLT", ACRX_CMD_TRANSPARENT, runCommand<CChangeLineTypeCmd>, nullptr, -1},
    {L"BASIC", L"ChangePipeParameters", L"CGD", ACRX_CMD_TRANSPARENT, runCommand<CChangePipeParametersCmd>, nullptr, -1},
    {L"BASIC", L"DrawDXT", L"DXT", ACRX_CMD_TRANSPARENT, runCommand<CDrawDXTCmd>, nullptr, -1},
    {L"BASIC", L"DrawFM", L"FM", ACRX_CMD_TRANSPARENT, runCommand<CDrawFMCmd>, nullptr, -1},
    {L"BASIC", L"DrawZDY", L"ZDY", ACRX_CMD_TRANSPARENT, runCommand<CDrawZDYCmd>, nullptr, -1},
    {L"BASIC", L"DrawST", L"ST", ACRX_CMD_TRANSPARENT, runCommand<CDrawSTCmd>, nullptr, -1},
    {L"BASIC", L"DrawDX", L"DX", ACRX_CMD_TRANSPARENT, runCommand<CDrawDXCmd>, nullptr, -1},
};

}  // namespace

IMPLEMENT_ARX_ENTRYPOINT(CorvandelApp, kCommandTable)
// The picture dialogs' templates, bitmaps and the string table.
IMPLEMENT_ARX_RESOURCES(kOrvpipeResources)

HINSTANCE moduleInstance() { return orvTheApp().instance(); }
