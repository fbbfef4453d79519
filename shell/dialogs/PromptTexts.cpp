#include "shell/dialogs/PromptTexts.h"

#include <shlwapi.h>

#include "core/sandboxview/CSandBoxFileSystem.h"

namespace veyra::dialogs {

namespace {

constexpr int kYesNoQuestion = MB_YESNO | MB_ICONQUESTION;        // 0x24
constexpr int kYesNoExclamation = MB_YESNO | MB_ICONEXCLAMATION;  // 0x34
constexpr int kOkStop = MB_OK | MB_ICONHAND;                      // 0x10
constexpr int kOkExclamation = MB_OK | MB_ICONEXCLAMATION;        // 0x30

std::wstring ViewPathOf(const FileOperationContext& context, const std::wstring& path)
{
    std::wstring view;
    return CSandBoxFileSystem::Instance().GetViewPath(path, view, context.ownerKey) ? view : path;
}

std::wstring LastComponent(const std::wstring& path)
{
    return PathFindFileNameW(path.c_str());
}

std::wstring OperationCaption(int type)
{
    switch (type & 0xF) {
    case OperationType::kCopy:
        return L"复制文件";
    case OperationType::kMove:
        return L"移动文件";
    case OperationType::kRename:
        return L"重命名";
    default:
        return L"Veyra";
    }
}

std::wstring ErrorDescription(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return L"磁盘空间不足";
    case ERROR_ACCESS_DENIED:
        return L"拒绝访问";
    case ERROR_WRITE_PROTECT:
        return L"磁盘被写保护";
    default:
        return L"错误代码 " + std::to_wstring(error);
    }
}

}  // namespace

PromptText DeleteItemPrompt(const FileOperationContext& context)
{
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    const std::wstring path = ViewPathOf(context, context.sourcePath);
    return {L"删除文件", L"确定要删除吗？\n" + view.GetDisplayName(path) + L"(" + view.GetParentPath(path) + L")",
            kYesNoQuestion};
}

PromptText DeleteItemsPrompt(const FileOperationContext& context)
{
    return {L"删除文件", L"确定要将这" + std::to_wstring(context.count) + L"项文件删除吗？", kYesNoQuestion};
}

PromptText RetryInUsePrompt(const FileOperationContext& context)
{
    const std::wstring text = context.sourcePath.empty() ? std::wstring(L"该文件被占用, 请重试！")
                                                         : L"文件 " + LastComponent(context.sourcePath) + L" 被占用, 请重试！";
    return {L"文件正在使用", text, kYesNoExclamation};
}

PromptText NameRequiredPrompt()
{
    return {L"重命名", L"必须输入文件名！", kOkStop};
}

PromptText ExtensionChangePrompt()
{
    return {L"重命名", L"文件扩展名被修改，是否继续！", kYesNoExclamation};
}

PromptText AutoRenamePrompt()
{
    return {L"重命名", L"发现同名文件，是否自动重命名！", kYesNoExclamation};
}

PromptText NetworkTogglePrompt(int block)
{
    return {L"Veyra", block == 1 ? L"是否关闭虚拟系统网络访问？" : L"是否恢复虚拟系统网络访问？", kYesNoQuestion};
}

PromptText WriteFailurePrompt(const FileOperationContext& context, DWORD error, bool canContinue)
{
    const std::wstring head = L"无法写入文件 " + LastComponent(ViewPathOf(context, context.targetPath)) + L"：" +
                              ErrorDescription(error) + L"。";
    if (canContinue) {
        return {OperationCaption(context.type), head + L"\n是否跳过该文件继续？", kYesNoExclamation};
    }
    return {OperationCaption(context.type), head + L"\n操作已停止。", kOkStop};
}

PromptText NotDeletedPrompt(const FileOperationContext& context)
{
    return {L"删除文件",
            L"有 " + std::to_wstring(context.count) + L" 项未能删除，例如：\n" +
                LastComponent(ViewPathOf(context, context.sourcePath)),
            kOkExclamation};
}

PromptText TargetInsideSourcePrompt(const FileOperationContext& context)
{
    return {OperationCaption(context.type),
            L"目标文件夹 " + LastComponent(context.targetPath) + L" 位于源文件夹 " + LastComponent(context.sourcePath) +
                L" 之内，无法放入。",
            kOkExclamation};
}

}  // namespace veyra::dialogs
