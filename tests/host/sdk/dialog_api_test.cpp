// Dialogs as a module writes them: a class over CAcUiDialog built from a
// template of the current resource module, controls bound by DDX_Control,
// pictures set in OnInitDialog, the choice read in OnOK, shown at the command
// line by DoModal. Also message boxes and the resource-module stack.
#include <gtest/gtest.h>

#include <sstream>

#include "acdocman.h"
#include "acui.h"
#include "bitmap_handles.h"
#include "host_bindings.h"
#include "orv/dialogs/dib.h"
#include "orv/modules/command_registry.h"
#include "orv/modules/module_manager.h"
#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"
#include "resources.h"

namespace {

constexpr UINT kTemplate = 202;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const ORV_DIALOG_ITEM kItems[] = {
    {1, L"BUTTON", L"确定", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 253, 227, 50, 14},
    {2, L"BUTTON", L"取消", kChild | WS_TABSTOP, 318, 227, 50, 14},
    {205, L"STATIC", L"#203", kChild | SS_BITMAP, 7, 6, 32, 30},
    {207, L"STATIC", L"#204", kChild | SS_BITMAP, 81, 6, 32, 30},
    {206, L"BUTTON", L"FM1", kChild | BS_AUTORADIOBUTTON | WS_GROUP, 7, 41, 71, 10},
    {208, L"BUTTON", L"FM2", kChild | BS_AUTORADIOBUTTON, 79, 41, 77, 10},
};
const ORV_DIALOG_TEMPLATE kDialogs[] = {
    {static_cast<int>(kTemplate), L"阀门选择", L"Microsoft Sans Serif", 8,
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 476, 249, kItems, 6},
};
const std::vector<std::uint8_t>& whiteIcon() {
  static const std::vector<std::uint8_t> bytes = orv::dialogs::encodeDib24(orv::dialogs::Bitmap(48, 48));
  return bytes;
}
const ORV_BITMAP_RESOURCE kBitmaps[] = {{203, whiteIcon().data(), whiteIcon().size()},
                                        {204, whiteIcon().data(), whiteIcon().size()}};
const ORV_RESOURCE_TABLE kResources = {kDialogs, 1, kBitmaps, 2, nullptr, 0};

// A handle the host knows only through the resources registered for it.
HINSTANCE fakeModule() { return reinterpret_cast<HINSTANCE>(0x5EED); }

// A small valve dialog in the manner of the part libraries' dialogs.
class ValveDialog : public CAcUiDialog {
 public:
  ValveDialog() : CAcUiDialog(kTemplate) {}
  std::wstring chosen;
  int okCalls = 0;
  bool acceptNothing = true;
  bool cancelEnds = true;
  HBITMAP placeholder = nullptr;

 protected:
  BOOL OnInitDialog() override {
    CAcUiDialog::OnInitDialog();
    m_radio[0].SetWindowText(L"闸阀");
    orv::dialogs::Bitmap picture(48, 48);
    picture.at(1, 1) = 0;
    auto dib = orv::dialogs::encodeDib24(picture);
    auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    HBITMAP h = CreateDIBitmap(m_picture[0].GetDC()->GetSafeHdc(), header, CBM_INIT, dib.data() + 40,
                               reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
    placeholder = m_picture[0].SetBitmap(h);
    DeleteObject(h);  // the control keeps showing it
    return TRUE;
  }
  void DoDataExchange(CDataExchange* dx) override {
    CAcUiDialog::DoDataExchange(dx);
    for (int k = 0; k < 2; ++k) {
      DDX_Control(dx, 205 + 2 * k, m_picture[k]);
      DDX_Control(dx, 206 + 2 * k, m_radio[k]);
    }
  }
  void OnOK() override {
    ++okCalls;
    for (auto& radio : m_radio)
      if (radio.GetCheck() == BST_CHECKED) {
        radio.GetWindowText(chosen);
        break;
      }
    if (chosen.empty() && !acceptNothing) return;  // stays open
    CAcUiDialog::OnOK();
  }
  void OnCancel() override {
    if (cancelEnds) CAcUiDialog::OnCancel();
  }
  LRESULT OnAcadKeepFocus(WPARAM, LPARAM) override { return TRUE; }

 private:
  CStatic m_picture[2];
  CButton m_radio[2];
};

class DialogApi : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = orv::sdk::bind({&engine_, nullptr, nullptr, nullptr, 1.0});
    orv::sdk::beginCommand();
    orv::sdk::registerResources(fakeModule(), &kResources);
    acDocManagerPtr()->pushResourceHandle(fakeModule());
  }
  void TearDown() override {
    orv::sdk::resetResourceStack();
    orv::sdk::registerResources(fakeModule(), nullptr);
    orv::sdk::bind(saved_);
  }
  void replies(const std::string& lines) {
    in_.clear();
    in_.str(lines);
  }

  std::istringstream in_;
  std::ostringstream out_;
  orv::prompt::ScriptConsole console_{in_, out_};
  orv::prompt::PromptEngine engine_{console_};
  orv::sdk::HostBindings saved_;
};

TEST_F(DialogApi, doModalShowsTheTemplateAndRunsTheModulesOkHandler) {
  replies("2\n1\nOK\n");
  ValveDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.okCalls, 1);
  EXPECT_EQ(dialog.chosen, L"闸阀");
  const std::string shown = out_.str();
  EXPECT_EQ(shown.find("\n阀门选择\n  ( ) 1. 闸阀  [有图]\n  ( ) 2. FM2  [无图]\n"), 0u) << shown;
  EXPECT_NE(shown.find("已选择 1: 闸阀"), std::string::npos);
  ASSERT_NE(dialog.orvModel(), nullptr);
  EXPECT_TRUE(dialog.orvModel()->keepsFocus);
  EXPECT_EQ(dialog.orvModel()->fontName, "Microsoft Sans Serif");
  EXPECT_EQ(dialog.orvModel()->find(208)->rect, (orv::dialogs::Rect{79, 41, 77, 10}));
  // The template's placeholder came back from SetBitmap; it is no handle to free.
  EXPECT_NE(dialog.placeholder, nullptr);
  EXPECT_EQ(DeleteObject(dialog.placeholder), FALSE);
}

TEST_F(DialogApi, cancelEndsWithoutTheOkHandler) {
  replies("2\n取消\n");
  ValveDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.okCalls, 0);
  EXPECT_TRUE(dialog.chosen.empty());
}

TEST_F(DialogApi, aHandlerThatKeepsTheDialogOpenGetsItShownAgain) {
  replies("OK\n2\nOK\n");
  ValveDialog dialog;
  dialog.acceptNothing = false;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.okCalls, 2);
  EXPECT_EQ(dialog.chosen, L"FM2");
  const std::string shown = out_.str();
  EXPECT_NE(shown.find("\n阀门选择", 1), std::string::npos) << "shown a second time";
}

TEST_F(DialogApi, theEndOfTheScriptCancelsEvenADialogThatRefusesToClose) {
  replies("1\n");
  ValveDialog dialog;
  dialog.cancelEnds = false;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.okCalls, 0);
}

TEST_F(DialogApi, aMissingTemplateIsReportedAndNothingIsShown) {
  replies("OK\n");
  CAcUiDialog wrongId(999);
  EXPECT_EQ(wrongId.DoModal(), -1);
  acDocManagerPtr()->pushResourceHandle(reinterpret_cast<HINSTANCE>(0xBAD));
  ValveDialog noResources;
  EXPECT_EQ(noResources.DoModal(), -1);
  EXPECT_EQ(out_.str(), "\n找不到对话框模板 999。\n找不到对话框模板 202。");
  EXPECT_EQ(in_.tellg(), 0) << "no reply was read";
}

TEST_F(DialogApi, controlsAreReachedByIdAsTheirOwnKind) {
  replies("OK\n");
  struct Probe : CAcUiDialog {
    Probe() : CAcUiDialog(kTemplate) {}
    BOOL OnInitDialog() override {
      CAcUiDialog::OnInitDialog();
      auto* radio = dynamic_cast<CButton*>(GetDlgItem(208));
      if (radio) radio->SetCheck(BST_CHECKED);
      missing = GetDlgItem(999) == nullptr;
      sameItem = GetDlgItem(208) == radio;
      picture = dynamic_cast<CStatic*>(GetDlgItem(205)) != nullptr;
      GetDlgItem(206)->EnableWindow(FALSE);
      SetWindowText(L"自定义零部件选择");
      return TRUE;
    }
    bool missing = false, sameItem = false, picture = false;
  } probe;
  EXPECT_EQ(probe.DoModal(), IDOK);
  EXPECT_TRUE(probe.missing);
  EXPECT_TRUE(probe.sameItem);
  EXPECT_TRUE(probe.picture);
  EXPECT_TRUE(probe.orvModel()->find(208)->checked);
  EXPECT_FALSE(probe.orvModel()->find(206)->enabled);
  EXPECT_EQ(out_.str().find("\n自定义零部件选择\n  ( ) 1. FM1  [无图]\n  (*) 2. FM2  [无图]"), 0u) << out_.str();
}

TEST_F(DialogApi, messageBoxesAreAlertsOnTheCommandLine) {
  EXPECT_EQ(MessageBoxW(nullptr, L"找不到阀门资料!", nullptr, MB_OK), IDOK);
  EXPECT_EQ(out_.str(), "** 找不到阀门资料!\n");
}

TEST_F(DialogApi, resourceModulesStackAndBitmapsLoadFromTheCurrentOne) {
  AcApDocManager* docs = acDocManagerPtr();
  EXPECT_EQ(docs->currentResourceHandle(), fakeModule());
  HBITMAP white = LoadBitmapW(nullptr, 203);
  ASSERT_NE(white, nullptr);
  EXPECT_TRUE(orv::sdk::findBitmap(white)->isBlank());
  EXPECT_EQ(LoadBitmapW(fakeModule(), 999), nullptr);
  EXPECT_EQ(DeleteObject(white), TRUE);

  EXPECT_TRUE(docs->pushResourceHandle(nullptr));
  EXPECT_EQ(docs->currentResourceHandle(), nullptr);
  EXPECT_EQ(LoadBitmapW(nullptr, 203), nullptr) << "the host has no bitmaps of its own";
  EXPECT_TRUE(docs->popResourceHandle());
  EXPECT_TRUE(docs->popResourceHandle());
  EXPECT_FALSE(docs->popResourceHandle());
  // A command that forgot to pop does not leave its module current for the next.
  docs->pushResourceHandle(fakeModule());
  orv::sdk::beginCommand();
  EXPECT_EQ(docs->currentResourceHandle(), nullptr);
}

}  // namespace

namespace {

TEST(ModuleResources, areFoundThroughTheHandleOfTheModuleThatExportsThem) {
  orv::modules::CommandRegistry commands;
  orv::modules::ModuleManager modules(commands);
  auto saved = orv::sdk::bind({nullptr, &commands, &modules, nullptr, 1.0});
  auto loaded = modules.load(ORV_RESOURCE_MODULE);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  HINSTANCE handle = modules.modules().front()->handle();

  const ORV_RESOURCE_TABLE* table = orvFindModuleResources(handle);
  ASSERT_NE(table, nullptr);
  ASSERT_NE(orv::sdk::findDialogTemplate(*table, 300), nullptr);
  EXPECT_EQ(orv::sdk::findDialogTemplate(*table, 202), nullptr);
  HBITMAP red = LoadBitmapW(handle, 310);
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(orv::sdk::findBitmap(red)->at(0, 0), 0xFF0000u);
  DeleteObject(red);

  // Not a loaded module: nothing, and no crash on a made-up handle.
  EXPECT_EQ(orvFindModuleResources(reinterpret_cast<HINSTANCE>(0x1234)), nullptr);
  modules.unloadAll();
  EXPECT_EQ(orvFindModuleResources(handle), nullptr);
  orv::sdk::bind(saved);
}

}  // namespace
