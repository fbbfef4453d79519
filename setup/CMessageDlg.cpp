#include "CMessageDlg.h"

#include "base/ScopedGdi.h"
#include "resources/setup/SetupResources.h"

namespace veyra::setup {

namespace {
constexpr int kPictureLeft = 19;
constexpr int kPictureTop = 60;
constexpr int kPictureWidth = 380;
constexpr int kPictureHeight = 210;
}  // namespace

void CenterWindowOver(HWND window, HWND reference) noexcept
{
    RECT area{};
    if (!reference || !GetWindowRect(reference, &area)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::span<const CMessageDlg::Entry> CMessageDlg::Messages()
{
    static const Entry entries[] = {
        {WM_INITDIALOG, &CMessageDlg::OnInitDialog},
        {WM_CLOSE, &CMessageDlg::OnClose},
        {WM_PAINT, &CMessageDlg::OnPaint},
        {WM_COMMAND, &CMessageDlg::OnCommand},
    };
    return entries;
}

INT_PTR CMessageDlg::OnInitDialog(WPARAM, LPARAM)
{
    CenterWindowOver(Handle(), GetParent(Handle()));
    HMODULE self = GetModuleHandleW(nullptr);
    // A missing picture leaves the dialog with its texts only.
    HRSRC picture = FindResourceW(self, MAKEINTRESOURCEW(IDR_HINT_PICTURE), L"SANDBOX");
    m_picture.LoadResource(picture, CXIMAGE_FORMAT_UNKNOWN, self);
    return TRUE;
}

INT_PTR CMessageDlg::OnClose(WPARAM, LPARAM)
{
    EndDialog(Handle(), 0);
    return TRUE;
}

INT_PTR CMessageDlg::OnPaint(WPARAM, LPARAM)
{
    ScopedPaint paint(Handle());
    m_picture.Draw(paint.dc(), kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight);
    return TRUE;
}

INT_PTR CMessageDlg::OnCommand(WPARAM wParam, LPARAM)
{
    const int id = LOWORD(wParam);
    if (id != IDOK && id != IDCANCEL) {
        return FALSE;
    }
    EndDialog(Handle(), id);
    return TRUE;
}

}  // namespace veyra::setup
