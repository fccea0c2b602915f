#include "app/AboutDlg.h"

#include "framework/Application.h"
#include "res/resource.h"
#include "ui/Drawing.h"

namespace app {

BEGIN_MESSAGE_MAP(CAboutDlg, fw::CDialog)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : fw::CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(fw::CDataExchange* exchange) {
  fw::CDialog::DoDataExchange(exchange);
  fw::DDX_Control(exchange, IDC_ABOUT_PRODUCT, m_productLine);
  fw::DDX_Control(exchange, IDC_ABOUT_VERSION, m_versionLine);
  fw::DDX_Control(exchange, IDC_ABOUT_NOTICE, m_noticeLine);
  fw::DDX_Control(exchange, IDC_ABOUT_WEB_LINK, m_webAddressLine);
  fw::DDX_Control(exchange, IDC_ABOUT_ICON_PLACE, m_iconPlaceholder);
}

BOOL CAboutDlg::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  m_webAddressLine.m_hLinkCursor =
      ::LoadCursorA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_LINKHAND));
  m_webAddressLine.m_crText = RGB(0, 0, 255);
  m_webAddressLine.m_bLink = true;
  m_productLine.SetBoldFont();
  return TRUE;  // the focus goes to the first tab stop, "OK"
}

BOOL CAboutDlg::OnEraseBkgnd(HDC dc) {
  RECT client;
  GetClientRect(&client);
  ui::DrawGradient(dc, client, RGB(240, 240, 240), RGB(255, 255, 255), ui::kGradientTopToBottom);

  // The icon's top-left corner is the placeholder's; it is 48 x 48 whatever
  // the placeholder's own size.
  RECT placeholder;
  m_iconPlaceholder.GetWindowRect(&placeholder);
  ScreenToClient(&placeholder);
  HICON icon = static_cast<HICON>(::LoadImageA(fw::AfxGetResourceHandle(),
                                               MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON, 48,
                                               48, LR_DEFAULTCOLOR));
  ::DrawIconEx(dc, placeholder.left, placeholder.top, icon, 48, 48, 0, nullptr, DI_NORMAL);
  return FALSE;
}

}  // namespace app
