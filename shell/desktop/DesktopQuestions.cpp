#include "shell/desktop/DesktopQuestions.h"

#include <atomic>

#include "core/fileops/ChangeNotice.h"

namespace veyra {

namespace {

constexpr wchar_t kCaption[] = L"Veyra";
std::atomic<LibraryMessageBox> s_box{nullptr};

int Ask(int ownerKey, const wchar_t* text) noexcept
{
    const LibraryMessageBox box = s_box.load();
    return box ? box(GetHostWindow(ownerKey), text, kCaption, kQuestionYesNo) : kBoxNotShown;
}

}  // namespace

LibraryMessageBox SetLibraryMessageBox(LibraryMessageBox box) noexcept
{
    return s_box.exchange(box);
}

int ConfirmRestore(int ownerKey) noexcept
{
    return Ask(ownerKey, L"确定要还原虚拟系统吗？") == IDYES ? 1 : 0;
}

int ConfirmExitCloseAll(int ownerKey) noexcept
{
    return Ask(ownerKey, L"退出时是否关闭虚拟系统所有的进程？");
}

}  // namespace veyra
