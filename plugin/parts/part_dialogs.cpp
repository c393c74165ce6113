// The picture dialogs: binding the slots, filling them from the library scan, keeping the choice.
#include "parts/part_dialogs.h"

#include "acdocman.h"
#include "app/orvpipe_app.h"
#include "app/settings_path.h"

using orvpipe_res::pictureId;
using orvpipe_res::radioId;

CPartLibraryDlg::CPartLibraryDlg(UINT templateId, const PartLibrary& library)
    : CAcUiDialog(templateId, nullptr, nullptr), m_library(library) {}

void CPartLibraryDlg::DoDataExchange(CDataExchange* dx) {
  CAcUiDialog::DoDataExchange(dx);
  for (int slot = 1; slot <= kSlots; ++slot) {
    DDX_Control(dx, pictureId(slot), m_pictures[slot - 1]);
    DDX_Control(dx, radioId(slot), m_radios[slot - 1]);
  }
}

BOOL CPartLibraryDlg::OnInitDialog() {
  CAcUiDialog::OnInitDialog();
  m_iniPath = settingsFilePath();

  CDC* dc = GetDC();
  std::vector<LibraryPart> parts = scanPartLibrary(
      m_library, partLibraryFolder(m_library.folderName), dc != nullptr ? dc->GetSafeHdc() : nullptr, kSlots);
  if (dc != nullptr) ReleaseDC(dc);
  fillSlots(parts);
  return TRUE;
}

void CPartLibraryDlg::fillSlots(std::vector<LibraryPart>& parts) {
  for (std::size_t i = 0; i < parts.size() && i < static_cast<std::size_t>(kSlots); ++i) {
    LibraryPart& part = parts[i];
    // A part without a preview shows an empty frame, not the placeholder.
    m_pictures[i].SetBitmap(part.preview.get());
    if (part.preview) m_previews.push_back(std::move(part.preview));
    m_radios[i].SetWindowText(part.blockName.c_str());
    m_blockNames[i] = std::move(part.blockName);
    m_filePaths[i] = std::move(part.drawingFile);
  }
}

void CPartLibraryDlg::OnOK() {
  // The first chosen slot decides; a slot the scan left empty keeps empty text.
  for (int i = 0; i < kSlots; ++i) {
    if (m_radios[i].GetCheck() != BST_CHECKED) continue;
    WritePrivateProfileStringW(m_library.section, m_library.nameKey, m_blockNames[i].c_str(), m_iniPath.c_str());
    WritePrivateProfileStringW(m_library.section, m_library.fileKey, m_filePaths[i].c_str(), m_iniPath.c_str());
    break;
  }
  CAcUiDialog::OnOK();
}

CFMXZDlg::CFMXZDlg() : CPartLibraryDlg(IDD_FMXZ, kValveLibrary) {}

CZDYDialog::CZDYDialog() : CPartLibraryDlg(IDD_ZDY, kCustomPartLibrary) {}

namespace {

// Dialogs are built from the current resource module: the plug-in's own
// while one of its dialogs is open.
template <class Dialog>
void showDialog() {
  AcApDocManager* documents = acDocManagerPtr();
  const bool pushed = documents != nullptr && documents->pushResourceHandle(moduleInstance());
  {
    Dialog dialog;
    dialog.DoModal();  // OK and Cancel alike: the settings file holds the outcome
  }
  if (pushed) documents->popResourceHandle();
}

}  // namespace

void showValveDialog() { showDialog<CFMXZDlg>(); }

void showCustomPartDialog() { showDialog<CZDYDialog>(); }
