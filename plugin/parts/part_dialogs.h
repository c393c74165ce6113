// The picture dialogs that choose a valve or a custom part from its library, and how commands show them.
#pragma once

#include <string>
#include <vector>

#include "acui.h"
#include "parts/part_library.h"
#include "parts/preview_bitmap.h"
#include "res/orvpipe_res.h"

// A picture dialog over one part library: 24 slots, each a picture frame and
// a radio button, filled with the library's parts when the dialog opens. OK
// with a slot chosen keeps that slot's block name and drawing file in the
// settings file; nothing else is kept.
class CPartLibraryDlg : public CAcUiDialog {
 public:
  static constexpr int kSlots = orvpipe_res::kSlotCount;

  CPartLibraryDlg(UINT templateId, const PartLibrary& library);

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  // The dialog keeps the focus while it is open.
  LRESULT OnAcadKeepFocus(WPARAM, LPARAM) override { return TRUE; }

  CStatic m_pictures[kSlots];
  CButton m_radios[kSlots];
  std::wstring m_blockNames[kSlots];
  std::wstring m_filePaths[kSlots];
  std::wstring m_iniPath;

 private:
  // Shows the parts of the library in the first slots.
  void fillSlots(std::vector<LibraryPart>& parts);

  const PartLibrary& m_library;
  // The previews shown; the frames show them but do not own them. Freed
  // with the dialog, once nothing can show them any more.
  std::vector<BitmapHandle> m_previews;
};

// The valve selection dialog: the valve library, "FM"/"FMNAME" and "FM"/"FMFILENAME".
class CFMXZDlg : public CPartLibraryDlg {
 public:
  CFMXZDlg();
};

// The custom-part selection dialog: the custom-part library, "ZDY"/"ZDYNAME"
// and "ZDY"/"ZDYFILENAME".
class CZDYDialog : public CPartLibraryDlg {
 public:
  CZDYDialog();
};

// Shows the valve selection dialog with the module's resources current and
// waits for it to close. What the caller may rely on afterwards is only the
// choice in the settings file: read "FM"/"FMNAME" and "FM"/"FMFILENAME" again.
void showValveDialog();
// The same for the custom-part selection dialog and the "ZDY" keys.
void showCustomPartDialog();
