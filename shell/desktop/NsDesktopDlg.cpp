#include "NsDesktopDlg.h"

namespace veyra {

const wchar_t kDesktopWindowClass[] = L"KavoSandBoxClass";

namespace {
constexpr DWORD kDesktopStyle = 0x06CF0000;  // WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS
constexpr int kProgramIconId = 128;
}  // namespace

bool NsDesktopDlg::CreateDesktopWindow() noexcept
{
    WindowClass windowClass;
    windowClass.name = kDesktopWindowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId));
    WindowPlacement placement;
    placement.exStyle = WS_EX_APPWINDOW;
    placement.style = kDesktopStyle;
    return Create(windowClass, L"Veyra", placement);
}

std::span<const NsDesktopDlg::Entry> NsDesktopDlg::Messages()
{
    static const Entry entries[] = {
        {WM_DESTROY, &NsDesktopDlg::OnDestroy},
    };
    return entries;
}

LRESULT NsDesktopDlg::OnDestroy(WPARAM, LPARAM)
{
    PostQuitMessage(0);
    return 0;
}

}  // namespace veyra
