// The About box: product, version, notice and the web address as a link,
// over a light gradient with the program icon.
#pragma once

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "ui/DpiLayout.h"
#include "ui/TransparentStatic.h"

namespace app {

class CAboutDlg : public fw::CDialog {
 public:
  CAboutDlg();

  ui::CTransparentStatic m_productLine;
  ui::CTransparentStatic m_versionLine;
  ui::CTransparentStatic m_noticeLine;
  ui::CTransparentStatic m_webAddressLine;
  fw::CStatic m_iconPlaceholder;

  BOOL OnInitDialog() override;
  void DoDataExchange(fw::CDataExchange* exchange) override;

 protected:
  BOOL OnEraseBkgnd(HDC dc);
  LRESULT OnDpiChanged(WPARAM dpi, LPARAM suggestedRect);
  LRESULT OnGetDpiScaledSize(WPARAM dpi, LPARAM size);
  DECLARE_MESSAGE_MAP()

 private:
  int IconSize() const;  // 48 pixels at 96 DPI
  ui::DpiLayout layout_;
  fw::CIcon icon_;  // the program icon at IconSize()
};

}  // namespace app
