// The SDK's dialog classes over the host's dialog model: windows and controls
// bound to the model's controls, data exchange, and the modal loop that
// presents the model at the command line.
#include "acui.h"

#include <algorithm>
#include <optional>

#include "acdocman.h"
#include "bitmap_handles.h"
#include "host_bindings.h"
#include "orv/dialogs/command_line_dialog.h"
#include "orv/dialogs/dialog_model.h"
#include "orv/dialogs/presenter.h"
#include "orv/prompt/engine.h"
#include "orv/text/encoding.h"
#include "resources.h"

namespace dialogs = orv::dialogs;

// ---- CWnd

CWnd::CWnd() = default;
CWnd::~CWnd() = default;

void CWnd::orvBind(dialogs::DialogModel* model, int controlId) {
  m_model = model;
  m_controlId = controlId;
}

dialogs::Control* CWnd::orvControl() const {
  return m_model && m_controlId != 0 ? m_model->find(m_controlId) : nullptr;
}

void CWnd::SetWindowText(LPCWSTR text) {
  std::string utf8 = text ? orv::text::narrow(text) : std::string();
  if (dialogs::Control* c = orvControl())
    c->text = std::move(utf8);
  else if (m_model && m_controlId == 0)
    m_model->caption = std::move(utf8);
}

void CWnd::GetWindowText(std::wstring& text) const {
  text.clear();
  if (const dialogs::Control* c = orvControl())
    text = orv::text::widen(c->text);
  else if (m_model && m_controlId == 0)
    text = orv::text::widen(m_model->caption);
}

int CWnd::GetDlgCtrlID() const { return m_controlId; }

BOOL CWnd::ShowWindow(int show) {
  dialogs::Control* c = orvControl();
  if (!c) return FALSE;
  const bool wasVisible = c->visible;
  c->visible = show != SW_HIDE;
  return wasVisible ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  dialogs::Control* c = orvControl();
  if (!c) return FALSE;
  const bool wasDisabled = !c->enabled;
  c->enabled = enable != FALSE;
  return wasDisabled ? TRUE : FALSE;
}

CDC* CWnd::GetDC() { return &m_dc; }

int CWnd::ReleaseDC(CDC* dc) { return dc == &m_dc ? 1 : 0; }

// ---- controls

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
  dialogs::Control* c = orvControl();
  if (!c) return nullptr;
  HBITMAP previous = c->bitmap ? orv::sdk::handleOf(c->bitmap.get()) : nullptr;
  std::shared_ptr<const dialogs::Bitmap> shown = orv::sdk::findBitmap(bitmap);
  // A handle got from GetBitmap of a bitmap the template put there.
  if (!shown && bitmap && m_model) {
    for (const dialogs::Control& other : m_model->controls())
      if (other.bitmap && orv::sdk::handleOf(other.bitmap.get()) == bitmap) shown = other.bitmap;
  }
  c->bitmap = std::move(shown);
  return previous;
}

HBITMAP CStatic::GetBitmap() const {
  const dialogs::Control* c = orvControl();
  return c && c->bitmap ? orv::sdk::handleOf(c->bitmap.get()) : nullptr;
}

int CButton::GetCheck() const {
  const dialogs::Control* c = orvControl();
  return c && c->checked ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
  if (m_model && m_controlId != 0) m_model->setChecked(m_controlId, check != BST_UNCHECKED);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (!dx || !dx->m_pDlgWnd || !dx->m_pDlgWnd->orvModel()) return;
  control.orvBind(dx->m_pDlgWnd->orvModel(), id);
}

// ---- CDialog

CDialog::CDialog(UINT templateId, CWnd*) : m_templateId(templateId) {}

CDialog::~CDialog() = default;

BOOL CDialog::OnInitDialog() { return UpdateData(FALSE); }

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  m_result = result;
  m_ended = true;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  if (!m_model) return FALSE;
  CDataExchange dx;
  dx.m_bSaveAndValidate = saveAndValidate;
  dx.m_pDlgWnd = this;
  DoDataExchange(&dx);
  return TRUE;
}

CWnd* CDialog::GetDlgItem(int id) {
  if (!m_model) return nullptr;
  const dialogs::Control* c = m_model->find(id);
  if (!c) return nullptr;
  auto it = std::find_if(m_items.begin(), m_items.end(), [id](const auto& item) { return item.first == id; });
  if (it != m_items.end()) return it->second.get();
  std::unique_ptr<CWnd> item;
  switch (c->kind()) {
    case dialogs::ControlKind::pushButton:
    case dialogs::ControlKind::checkBox:
    case dialogs::ControlKind::radioButton:
    case dialogs::ControlKind::groupBox: item = std::make_unique<CButton>(); break;
    case dialogs::ControlKind::picture:
    case dialogs::ControlKind::text: item = std::make_unique<CStatic>(); break;
    case dialogs::ControlKind::other: item = std::make_unique<CWnd>(); break;
  }
  item->orvBind(m_model, id);
  m_items.emplace_back(id, std::move(item));
  return m_items.back().second.get();
}

LRESULT CDialog::orvSendMessage(UINT message, WPARAM w, LPARAM l) {
  if (message == WM_ACAD_KEEPFOCUS) return OnAcadKeepFocus(w, l);
  return 0;
}

INT_PTR CDialog::DoModal() {
  HINSTANCE module = m_resourceModule ? m_resourceModule : acDocManagerPtr()->currentResourceHandle();
  const ORV_RESOURCE_TABLE* table = orvFindModuleResources(module);
  const ORV_DIALOG_TEMPLATE* dialog = table ? orv::sdk::findDialogTemplate(*table, static_cast<int>(m_templateId)) : nullptr;
  std::unique_ptr<dialogs::DialogModel> model = dialog ? orv::sdk::buildDialogModel(*dialog, *table) : nullptr;
  if (!model) {
    orv::sdk::reportProblem("找不到对话框模板 " + std::to_string(m_templateId) + "。");
    return -1;
  }
  // Controls handed out for an earlier showing belong to the old model.
  m_items.clear();
  m_ownedModel = std::move(model);
  orvBind(m_ownedModel.get(), 0);
  m_ended = false;
  m_result = IDCANCEL;
  m_ownedModel->keepsFocus = orvSendMessage(WM_ACAD_KEEPFOCUS, 0, 0) != FALSE;

  OnInitDialog();
  orv::prompt::PromptEngine* prompts = orv::sdk::bound().prompts;
  dialogs::Presenter* presenter = orv::sdk::bound().dialogs;
  std::optional<dialogs::CommandLinePresenter> commandLine;
  if (!presenter && prompts) presenter = &commandLine.emplace(prompts->console());
  while (!m_ended) {
    if (!presenter) {
      EndDialog(IDCANCEL);
      break;
    }
    dialogs::Presented presented = presenter->present(*m_ownedModel);
    if (presented.press == dialogs::Press::ok)
      OnOK();
    else
      OnCancel();
    // Nothing more can be asked: a handler that keeps the dialog open cannot be answered.
    if (presented.inputEnded && !m_ended) EndDialog(IDCANCEL);
  }
  return m_result;
}

// ---- the host's dialog base classes

CAdUiDialog::CAdUiDialog(UINT templateId, CWnd* parent, HINSTANCE dialogResource) : CDialog(templateId, parent) {
  m_resourceModule = dialogResource;
}

CAcUiDialog::CAcUiDialog(UINT templateId, CWnd* parent, HINSTANCE dialogResource)
    : CAdUiDialog(templateId, parent, dialogResource) {}
