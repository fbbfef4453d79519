#pragma once
// One row of a folder window's navigation pane: a header ("库", "计算机"), a library folder or a drive,
// drawn as a skin panel with a label and a 16-pixel icon. The folder window owns its rows and the
// pane's list holds their panels; a row names its object through the panel's user value, which the
// window checks against its own rows before it uses it. UI thread only.

#include <windows.h>

#include <string>

#include "base/ComPtr.h"
#include "shell/iconview/CGroupCtrl.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra {

enum class NavKind { LibrariesHeader = 0, ComputerHeader = 1, Library = 2, Drive = 3 };

inline constexpr int kNavRowHeight = 24;

class NavItem {
public:
    explicit NavItem(int ownerKey) noexcept : m_ownerKey(ownerKey) {}
    ~NavItem();
    NavItem(const NavItem&) = delete;
    NavItem& operator=(const NavItem&) = delete;

    // The row panel, label and icon over (left, top)-(right, top + 24); false when one cannot be made.
    [[nodiscard]] bool Create(NavKind kind, const RECT& rect, const std::wstring& text, const std::wstring& path);
    // The folder the row opens: a library's folder from the shell, a drive's own path; false when none.
    [[nodiscard]] bool ResolvePath(std::wstring& out) const;

    [[nodiscard]] NavKind Kind() const noexcept { return m_kind; }
    [[nodiscard]] vorrelUI::Ivorrel_panel* Row() const noexcept { return m_row.get(); }
    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }

private:
    bool AttachIcon(const RECT& rect);

    ComPtr<vorrelUI::Ivorrel_panel> m_row;
    NavKind m_kind = NavKind::LibrariesHeader;
    ComPtr<vorrelUI::Ivorrel_label> m_label;
    ComPtr<vorrelUI::Ivorrel_itemcontrol> m_image;
    ComPtr<CGroupCtrl> m_icon;
    int m_ownerKey;
    std::wstring m_path;
};

// The computer row's icon source: the default value of My Computer's DefaultIcon key (at most 520
// bytes, terminated, environment strings expanded); empty when missing.
[[nodiscard]] std::wstring ComputerIconSource();

}  // namespace veyra
