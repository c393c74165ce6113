// Dialogs: modal dialogs built from a template of the current resource module,
// with the controls a module binds and reads. The host presents a dialog
// (today at the command line) from the dialog's model of its controls; the
// module's code sees only these classes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "orvres.h"
#include "winapi.h"

// The host's message that asks a dialog whether it keeps the focus.
#define WM_ACAD_KEEPFOCUS 0x7101
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define SW_HIDE 0
#define SW_SHOW 5

namespace orv::dialogs {
class DialogModel;
struct Control;
}  // namespace orv::dialogs

class CDC {
 public:
  HDC GetSafeHdc() const { return m_hdc; }
  HDC m_hdc = nullptr;
};

// A window: a dialog or one of its controls.
class ORV_SDK_API CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  void SetWindowText(LPCWSTR text);
  void GetWindowText(std::wstring& text) const;
  int GetDlgCtrlID() const;
  BOOL ShowWindow(int show);
  BOOL EnableWindow(BOOL enable = TRUE);
  CDC* GetDC();
  int ReleaseDC(CDC* dc);

  // The host's side; not for modules.
  void orvBind(orv::dialogs::DialogModel* model, int controlId);
  orv::dialogs::Control* orvControl() const;

 protected:
  orv::dialogs::DialogModel* m_model = nullptr;
  int m_controlId = 0;  // 0: the dialog itself

 private:
  CDC m_dc;
};

// A static control; with SS_BITMAP it shows a bitmap.
class ORV_SDK_API CStatic : public CWnd {
 public:
  // Shows the bitmap (the dialog does not take it over) and returns the one shown before.
  HBITMAP SetBitmap(HBITMAP bitmap);
  HBITMAP GetBitmap() const;
};

// A button: push button, radio button or check box.
class ORV_SDK_API CButton : public CWnd {
 public:
  int GetCheck() const;
  // Checking an automatic radio button unchecks the others of its group.
  void SetCheck(int check);
};

class CDataExchange {
 public:
  BOOL m_bSaveAndValidate = FALSE;
  class CDialog* m_pDlgWnd = nullptr;
};

// Binds a member control to the dialog's control of that id.
ORV_SDK_API void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class ORV_SDK_API CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Builds the dialog from its template in the current resource module (see
  // acDocManagerPtr), initialises it and shows it until OK or Cancel ends it:
  // OK runs OnOK, Cancel OnCancel, and the dialog is shown again if the
  // handler did not end it (EndDialog). Without a command line, or when its
  // input has run out, the dialog ends as cancelled. Returns the value given
  // to EndDialog (IDOK, IDCANCEL); -1 when the template cannot be found.
  virtual INT_PTR DoModal();

 protected:
  // Binds the controls (UpdateData(FALSE)); override to fill them.
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* dx);
  // UpdateData(TRUE) and EndDialog(IDOK).
  virtual void OnOK();
  virtual void OnCancel();
  // The answer to WM_ACAD_KEEPFOCUS.
  virtual LRESULT OnAcadKeepFocus(WPARAM, LPARAM) { return FALSE; }

 public:
  void EndDialog(int result);
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  CWnd* GetDlgItem(int id);
  UINT templateId() const { return m_templateId; }

  // The host's side; not for modules.
  LRESULT orvSendMessage(UINT message, WPARAM w, LPARAM l);
  void orvPressOk() { OnOK(); }
  void orvPressCancel() { OnCancel(); }
  orv::dialogs::DialogModel* orvModel() const { return m_model; }

 protected:
  HINSTANCE m_resourceModule = nullptr;  // null: the current resource module

 private:
  UINT m_templateId;
  std::unique_ptr<orv::dialogs::DialogModel> m_ownedModel;
  std::vector<std::pair<int, std::unique_ptr<CWnd>>> m_items;  // what GetDlgItem handed out
  INT_PTR m_result = IDCANCEL;
  bool m_ended = false;
};

// The host's dialog base classes.
class ORV_SDK_API CAdUiDialog : public CDialog {
 public:
  CAdUiDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};

class ORV_SDK_API CAcUiDialog : public CAdUiDialog {
 public:
  CAcUiDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};
