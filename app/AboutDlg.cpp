#include "app/AboutDlg.h"

#include "framework/Application.h"
#include "res/resource.h"
#include "ui/Dpi.h"
#include "ui/Drawing.h"

namespace app {

BEGIN_MESSAGE_MAP(CAboutDlg, fw::CDialog)
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
  ON_MESSAGE(ui::kWmGetDpiScaledSize, OnGetDpiScaledSize)
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
  layout_.Capture(m_hWnd, ui::WindowDpi(m_hWnd));
  icon_.Reset(ui::LoadIconAtSize(IDI_MAINFRAME, IconSize()));
  return TRUE;  // the focus goes to the first tab stop, "OK"
}

int CAboutDlg::IconSize() const { return ui::ScaleToDpi(48, layout_.Dpi()); }

// On a monitor of another scale the box takes the place Windows suggests,
// and is laid out, lettered and drawn anew at that scale.
LRESULT CAboutDlg::OnDpiChanged(WPARAM dpi, LPARAM suggestedRect) {
  layout_.MoveTo(LOWORD(dpi), *reinterpret_cast<const RECT*>(suggestedRect));
  icon_.Reset(ui::LoadIconAtSize(IDI_MAINFRAME, IconSize()));
  return 0;
}

LRESULT CAboutDlg::OnGetDpiScaledSize(WPARAM dpi, LPARAM size) {
  return layout_.WindowSizeAt(static_cast<int>(dpi), reinterpret_cast<SIZE*>(size));
}

BOOL CAboutDlg::OnEraseBkgnd(HDC dc) {
  RECT client;
  GetClientRect(&client);
  ui::DrawGradient(dc, client, RGB(240, 240, 240), RGB(255, 255, 255), ui::kGradientTopToBottom);

  // The icon's top-left corner is the placeholder's; it is 48 x 48 pixels
  // at 96 DPI whatever the placeholder's own size. Loaded once per scale.
  RECT placeholder;
  m_iconPlaceholder.GetWindowRect(&placeholder);
  ScreenToClient(&placeholder);
  ::DrawIconEx(dc, placeholder.left, placeholder.top, icon_, IconSize(), IconSize(), 0, nullptr,
               DI_NORMAL);
  return FALSE;
}

}  // namespace app
