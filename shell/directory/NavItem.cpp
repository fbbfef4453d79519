#include "shell/directory/NavItem.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "base/UniqueResource.h"
#include "core/GlobalInfo.h"
#include "shell/skin/SkinBinding.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr wchar_t kRowTheme[] = L"static_sandbox_9_black";
constexpr wchar_t kDriveImage[] = L"IDI_ICON_HARDDISK";
constexpr wchar_t kComputerIconKey[] = L"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
constexpr DWORD kIconValueBytes = 520;
constexpr int kIconSize = 16;

struct LibraryFolder {
    const wchar_t* name;
    int shared;
    int user;
};
constexpr LibraryFolder kLibraryFolders[] = {
    {L"视频", CSIDL_COMMON_VIDEO, CSIDL_MYVIDEO},
    {L"图片", CSIDL_COMMON_PICTURES, CSIDL_MYPICTURES},
    {L"文档", CSIDL_COMMON_DOCUMENTS, CSIDL_PERSONAL},
    {L"音乐", CSIDL_COMMON_MUSIC, CSIDL_MYMUSIC},
};

std::wstring SpecialFolder(int id)
{
    wchar_t folder[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, folder, id, FALSE) ? std::wstring(folder) : std::wstring();
}

std::wstring ExplorerProgram()
{
    wchar_t path[MAX_PATH] = {};
    if (!GetSystemWindowsDirectoryW(path, MAX_PATH) || !PathAppendW(path, L"explorer.exe")) {
        return {};
    }
    return path;
}

}  // namespace

std::wstring ComputerIconSource()
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kComputerIconKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return {};
    }
    UniqueRegKey key(opened);
    wchar_t value[kIconValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD type = 0;
    DWORD bytes = kIconValueBytes;
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    value[bytes / sizeof(wchar_t)] = L'\0';  // a value stored without its NUL still ends here
    if (type == REG_SZ) {
        return value;
    }
    wchar_t expanded[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsW(value, expanded, ARRAYSIZE(expanded));
    return length && length <= ARRAYSIZE(expanded) ? std::wstring(expanded) : std::wstring();
}

NavItem::~NavItem()
{
    if (m_icon) {
        m_icon->DropOwnerRef();  // the row holds the icon control: break the cycle
    }
}

bool NavItem::Create(NavKind kind, const RECT& rect, const std::wstring& text, const std::wstring& path)
{
    m_kind = kind;
    m_path = path;
    if (!skin::CreatePanelControl(m_row) || !skin::CreateLabelControl(m_label, kRowTheme)) {
        return false;
    }
    const bool indented = kind == NavKind::Library || kind == NavKind::Drive;
    const LONG indent = indented ? 5 : 0;
    const RECT row{rect.left + indent, rect.top, rect.right, rect.top + kNavRowHeight};
    const RECT label{rect.left + 2 * indent + 35, rect.top + 4, rect.right, rect.top + kNavRowHeight};
    static_cast<void>(m_label->SetText(text.c_str()));
    static_cast<void>(m_label->ModifyStyle(kStyleVisible, 0));
    static_cast<void>(m_row->ModifyStyle(kStyleVisible, 0));
    static_cast<void>(m_row->Move(&row, FALSE));
    static_cast<void>(m_label->Move(&label, FALSE));
    static_cast<void>(m_row->AddChild(m_label.get()));
    const RECT icon{rect.left + 2 * indent + 10, rect.top + 4, rect.left + 2 * indent + 10 + kIconSize,
                    rect.top + 4 + kIconSize};
    const bool picture = kind == NavKind::Library || (kind == NavKind::Drive && !g_globalInfo.IsVistaOrLater());
    if (picture) {
        if (!skin::CreatePictureWithImage(m_image, kRowTheme, kDriveImage)) {
            return false;
        }
        static_cast<void>(m_image->Move(&icon, FALSE));
        static_cast<void>(m_image->ModifyStyle(kStyleVisible, 0));
        static_cast<void>(m_row->AddChild(m_image.get()));
    } else if (!AttachIcon(icon)) {
        return false;
    }
    static_cast<void>(m_row->Redraw(FALSE));
    static_cast<void>(m_row->SetUserValue(reinterpret_cast<LONG_PTR>(this)));
    return true;
}

bool NavItem::AttachIcon(const RECT& rect)
{
    m_icon = AttachGroupCtrl(m_row.get(), rect);
    if (!m_icon) {
        return false;
    }
    m_icon->SetOwnerRef(m_row.get());
    m_icon->SetIconSize(kIconSize);
    switch (m_kind) {
    case NavKind::LibrariesHeader:
        m_icon->SetItem(ExplorerProgram(), kGroupDrawFileIcon, m_ownerKey);
        break;
    case NavKind::ComputerHeader:
        if (const std::wstring source = ComputerIconSource(); !source.empty()) {
            m_icon->SetItem(source, kGroupDrawFileIcon, m_ownerKey);
        }
        break;
    default:
        m_icon->SetItem(m_path, kGroupDrawThumbnail, m_ownerKey);  // a drive draws its shell icon
        break;
    }
    return true;
}

bool NavItem::ResolvePath(std::wstring& out) const
{
    out = m_path;
    for (const LibraryFolder& library : kLibraryFolders) {
        if (m_path == library.name) {
            out = SpecialFolder(library.shared);
            if (out.empty()) {
                out = SpecialFolder(library.user);
            }
            break;
        }
    }
    return !out.empty();
}

}  // namespace veyra
