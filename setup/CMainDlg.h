#pragma once
// The installer's one window: shows where the suite's program is, and offers install and uninstall
// through the install engine. Modeless, created by the entry point, destroyed when it closes (which
// ends the program); its message filter passes the loop's messages through IsDialogMessageW. UI thread.

#include "base/Dialog.h"
#include "base/MessageLoop.h"
#include "base/UniqueResource.h"

namespace veyra::setup {

class CMainDlg : public MappedDialog<CMainDlg>, public MessageFilter {
public:
    static std::span<const Entry> Messages();

    bool PreTranslateMessage(MSG& message) override;

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnClose(WPARAM, LPARAM);
    INT_PTR OnDestroy(WPARAM, LPARAM);
    INT_PTR OnShowHint(WPARAM, LPARAM);
    INT_PTR OnRefresh(WPARAM, LPARAM);
    INT_PTR OnCommand(WPARAM, LPARAM);

    void SetIcons();
    void CheckState();
    void OnInstall();
    void OnUninstall();

    UniqueIcon m_bigIcon;
    UniqueIcon m_smallIcon;
};

}  // namespace veyra::setup
