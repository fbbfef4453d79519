#include "shell/dialogs/BoxTexts.h"

namespace veyra::dialogs {

namespace {

constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 22;
constexpr int kButtonTopAbove = 37;
constexpr int kRightmostInset = 30;
constexpr int kButtonStep = 77;

const std::wstring& Or(const std::wstring& text, const std::wstring& fallback)
{
    return text.empty() ? fallback : text;
}

}  // namespace

std::vector<BoxButton> ButtonSet(int type, BoxMode mode, const std::wstring& text1, const std::wstring& text2,
                                 const std::wstring& text3)
{
    static const std::wstring yes = L"是";
    static const std::wstring no = L"否";
    static const std::wstring cancel = L"取消";
    static const std::wstring ok = L"确定";
    using namespace BoxButtonId;
    switch (type & 0xF) {
    case MB_YESNO:
        return {{kNo, Or(text3, no), L"IDI_BTN_SECOND", IDNO}, {kYes, Or(text2, yes), L"IDI_BTN_FIRST", IDYES}};
    case MB_YESNOCANCEL:
        if (mode != BoxMode::Modal) {
            return {};
        }
        return {{kCancel, Or(text3, cancel), L"IDI_BTN_SECOND", IDCANCEL},
                {kNo, Or(text2, no), L"IDI_BTN_SECOND", IDNO},
                {kYes, Or(text1, yes), L"IDI_BTN_FIRST", IDYES}};
    case MB_OK:
        return {{kYes, Or(text1, ok), L"IDI_BTN_FIRST", IDYES}};
    default:
        return {};
    }
}

RECT ButtonRect(const RECT& panel, int indexFromRight) noexcept
{
    const LONG right = panel.right - kRightmostInset - indexFromRight * kButtonStep;
    const LONG bottom = panel.bottom - kButtonTopAbove + kButtonHeight;
    return RECT{right - kButtonWidth, panel.bottom - kButtonTopAbove, right, bottom};
}

const wchar_t* IconImageName(int type) noexcept
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return L"IDI_ICONHAND";
    case MB_ICONQUESTION:
        return L"IDI_ICONQUESTION";
    case MB_ICONEXCLAMATION:
        return L"IDI_ICONEXCLAMATION";
    default:
        return L"IDI_ICONASTERISK";
    }
}

ReplaceWording ReplaceBoxWording(int type, const std::wstring& name, const std::wstring& sourceFolder,
                                 const std::wstring& targetFolder, const std::wstring& newName)
{
    const bool move = type == 2;
    ReplaceWording wording;
    if (type == 1 || type == 2) {
        wording.title = move ? L"移动文件" : L"复制文件";
    }
    wording.replace = (move ? L" 移动并替换 \n    使用正在移动的文件替换目标文件\n    "
                            : L" 复制并替换 \n    使用正在复制的文件替换目标文件\n    ") +
                      name + L"(" + sourceFolder + L")";
    wording.skip = (move ? L" 不要移动 \n    不更改任何文件，不替换目标文件\n    "
                         : L" 不要复制 \n    不更改任何文件，不替换目标文件\n    ") +
                   name + L"(" + targetFolder + L")";
    wording.keepBoth = (move ? L" 移动并保留这两个文件 \n    将移动的文件重命名为：" : L" 复制并保留这两个文件 \n    将复制的文件重命名为：") +
                       newName;
    return wording;
}

}  // namespace veyra::dialogs
