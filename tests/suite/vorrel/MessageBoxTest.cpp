// The library's own message box, called as the program calls it: through engine position 7 of vorrel.dll
// loaded from a fake suite. Each case runs the box on a thread of its own (the box is modal on its
// caller's thread, over an owner window of that thread), reads the box's control tree while it is up and
// answers it with posted input: Enter, Esc, a click on a button or on the close glyph, WM_COMMAND, WM_CLOSE.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/MessageBoxWindow.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/TempFolder.h"

using namespace vorrelUI;
using namespace std::chrono_literals;
using veyra::ComPtr;

namespace {

constexpr wchar_t kOwnerClass[] = L"VorrelBoxTestOwner";
constexpr wchar_t kBoxClass[] = L"VorrelMessageBox";
constexpr UINT kDestroyYourself = WM_USER + 1;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kDestroyYourself) {
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM data)
{
    auto* search = reinterpret_cast<BoxSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (wcscmp(name, kBoxClass) == 0 && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == search->owner) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The visible box owned by `owner`, waited for (nullptr after the timeout).
HWND WaitForBox(HWND owner)
{
    const auto end = std::chrono::steady_clock::now() + 15s;
    while (std::chrono::steady_clock::now() < end) {
        BoxSearch search{owner, nullptr};
        EnumWindows(&MatchBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        std::this_thread::sleep_for(20ms);
    }
    return nullptr;
}

// One line of the control tree dump per control: "id=..<TAB>kind=..<TAB>rect=l,t,r,b<TAB>visible=..<TAB>...".
struct DumpedControl {
    unsigned id = 0;
    std::string kind;
    RECT rect{};
    bool visible = false;
    std::string image;
    std::string text;
};

std::map<std::string, std::string> FieldsOf(const std::string& line)
{
    std::map<std::string, std::string> fields;
    size_t start = line.find_first_not_of(' ');
    while (start != std::string::npos && start < line.size()) {
        const size_t tab = line.find('\t', start);
        const std::string field = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        const size_t equals = field.find('=');
        if (equals != std::string::npos) {
            fields[field.substr(0, equals)] = field.substr(equals + 1);
        }
        start = tab == std::string::npos ? std::string::npos : tab + 1;
    }
    return fields;
}

std::vector<DumpedControl> ParseDump(const std::string& text)
{
    std::vector<DumpedControl> controls;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        auto fields = FieldsOf(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
        DumpedControl control;
        control.id = static_cast<unsigned>(strtoul(fields["id"].c_str(), nullptr, 10));
        control.kind = fields["kind"];
        sscanf(fields["rect"].c_str(), "%ld,%ld,%ld,%ld", &control.rect.left, &control.rect.top, &control.rect.right,
               &control.rect.bottom);
        control.visible = fields["visible"] == "1";
        control.image = fields["image"];
        control.text = fields["text"];
        controls.push_back(control);
    }
    return controls;
}

const DumpedControl* ButtonOf(const std::vector<DumpedControl>& controls, unsigned id)
{
    for (const DumpedControl& control : controls) {
        if (control.id == id && control.kind == "button") {
            return &control;
        }
    }
    return nullptr;
}

enum class Action { Enter, Escape, Click, ClickClose, Command, CloseMessage, OwnerDestroyed, ThreadQuits };

struct Case {
    const char* name;
    UINT type;
    std::vector<std::pair<unsigned, std::string>> buttons;  // answer id and its text, left to right
    const char* icon;                                       // "" when hidden
    Action action;
    std::vector<WORD> commands;  // the clicked answer, or the WM_COMMAND ids posted in order
    int expected;
};

const Case kKeyCases[] = {
    {"Enter on a question", MB_YESNO | MB_ICONQUESTION, {{IDYES, "是"}, {IDNO, "否"}}, "IDI_ICONQUESTION",
     Action::Enter, {}, IDYES},
    {"Esc on a question", MB_YESNO | MB_ICONQUESTION, {{IDYES, "是"}, {IDNO, "否"}}, "IDI_ICONQUESTION",
     Action::Escape, {}, IDCANCEL},
    {"Enter with the second button default", MB_YESNO | MB_DEFBUTTON2, {{IDYES, "是"}, {IDNO, "否"}}, "",
     Action::Enter, {}, IDNO},
    {"Esc on an OK box", MB_OK | MB_ICONASTERISK, {{IDOK, "确定"}}, "IDI_ICONASTERISK", Action::Escape, {}, IDOK},
};

const Case kClickCases[] = {
    {"click on Yes", MB_YESNO, {{IDYES, "是"}, {IDNO, "否"}}, "", Action::Click, {IDYES}, IDYES},
    {"click on No", MB_YESNO | MB_ICONEXCLAMATION, {{IDYES, "是"}, {IDNO, "否"}}, "IDI_ICONEXCLAMATION",
     Action::Click, {IDNO}, IDNO},
    {"click on OK", MB_OK | MB_ICONHAND, {{IDOK, "确定"}}, "IDI_ICONHAND", Action::Click, {IDOK}, IDOK},
    {"click on Cancel", MB_OKCANCEL, {{IDOK, "确定"}, {IDCANCEL, "取消"}}, "", Action::Click, {IDCANCEL}, IDCANCEL},
    {"close glyph", MB_YESNO, {{IDYES, "是"}, {IDNO, "否"}}, "", Action::ClickClose, {}, IDCANCEL},
};

const Case kCommandCases[] = {
    {"posted IDNO", MB_YESNOCANCEL, {{IDYES, "是"}, {IDNO, "否"}, {IDCANCEL, "取消"}}, "", Action::Command, {IDNO},
     IDNO},
    {"posted IDOK ignored on Yes/No, then IDYES", MB_YESNO, {{IDYES, "是"}, {IDNO, "否"}}, "", Action::Command,
     {IDOK, IDYES}, IDYES},
    {"posted IDCANCEL", MB_YESNO, {{IDYES, "是"}, {IDNO, "否"}}, "", Action::Command, {IDCANCEL}, IDCANCEL},
    {"posted IDRETRY", MB_RETRYCANCEL, {{IDRETRY, "重试"}, {IDCANCEL, "取消"}}, "", Action::Command, {IDRETRY},
     IDRETRY},
    {"WM_CLOSE", MB_YESNO, {{IDYES, "是"}, {IDNO, "否"}}, "", Action::CloseMessage, {}, IDCANCEL},
    {"owner destroyed", MB_YESNO, {{IDYES, "是"}, {IDNO, "否"}}, "", Action::OwnerDestroyed, {}, IDCANCEL},
    {"the thread quits", MB_OKCANCEL, {{IDOK, "确定"}, {IDCANCEL, "取消"}}, "", Action::ThreadQuits, {}, IDCANCEL},
};

// What the box's thread saw.
struct Outcome {
    HRESULT hr = E_FAIL;
    int result = -1;
    bool ownerEnabledAfter = false;
    bool quitHandedOn = false;  // a WM_QUIT waits for the caller's own loop
};

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryW((m_suite / L"vorrel.dll").c_str());
        ASSERT_NE(m_module, nullptr);
        using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
        auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(m_module, "DllGetClassObject")));
        ASSERT_NE(get, nullptr);
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(get(CLSID_vorrel_engine, IID_IClassFactory, factory.put_void()), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_Ivorrel_engine, m_engine.put_void()), S_OK);
        ComPtr<Ivorrel_theme> theme;
        ASSERT_EQ(m_engine->GetTheme(theme.put()), S_OK);
        EXPECT_EQ(theme->LoadTheme((m_suite.ThemeFolder() + L"\\theme.xml").c_str()), S_OK);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.lpszClassName = kOwnerClass;
        RegisterClassW(&windowClass);
    }

    // Runs the box on a thread of its own, over an owner window of that thread; `owner` is set once the
    // owner exists.
    std::future<Outcome> StartBox(UINT type, std::atomic<HWND>& owner)
    {
        return std::async(std::launch::async, [this, type, &owner] {
            Outcome outcome;
            HWND window = CreateWindowExW(0, kOwnerClass, L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr,
                                          nullptr, nullptr, nullptr);
            owner = window;
            // Position 7 through the raw table, as a caller built by another compiler reaches it.
            using RunBox = HRESULT(STDMETHODCALLTYPE*)(void*, HWND, LPCWSTR, LPCWSTR, UINT, UINT_PTR, UINT_PTR,
                                                       UINT_PTR, INT*);
            void** table = *reinterpret_cast<void***>(m_engine.get());
            outcome.hr = reinterpret_cast<RunBox>(table[7])(m_engine.get(), window, L"退出时是否关闭虚拟系统所有的进程？",
                                                            L"Veyra", type, 0, 0, 0, &outcome.result);
            outcome.ownerEnabledAfter = IsWindow(window) && IsWindowEnabled(window);
            MSG quit{};
            outcome.quitHandedOn = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
            if (IsWindow(window)) {
                DestroyWindow(window);
            }
            return outcome;
        });
    }

    void RunCases(std::span<const Case> cases);

    std::vector<DumpedControl> Dump(HWND box)
    {
        const std::wstring path = m_suite / L"box.tree";
        const ATOM atom = GlobalAddAtomW(path.c_str());
        const LRESULT written = SendMessageW(box, RegisterWindowMessageW(kDumpMessageName), atom, 0);
        GlobalDeleteAtom(atom);
        EXPECT_EQ(written, 1);
        return ParseDump(veyra::test::ReadFileBytes(path));
    }

    veyra::test::FakeSuite m_suite{veyra::test::SuitePart::SkinLibrary | veyra::test::SuitePart::ThemeFiles};
    HMODULE m_module = nullptr;
    ComPtr<Ivorrel_engine> m_engine;
};

void PostClick(HWND box, const RECT& rect)
{
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(box, WM_LBUTTONUP, 0, at);
}

void Answer(HWND box, HWND owner, const Case& test, const std::vector<DumpedControl>& controls)
{
    switch (test.action) {
    case Action::Enter:
    case Action::Escape:
        PostMessageW(box, WM_KEYDOWN, test.action == Action::Enter ? VK_RETURN : VK_ESCAPE, 1);
        break;
    case Action::Click:
        if (const DumpedControl* button = ButtonOf(controls, test.commands.front())) {
            PostClick(box, button->rect);
        }
        break;
    case Action::ClickClose:
        if (const DumpedControl* glyph = ButtonOf(controls, 1003)) {
            PostClick(box, glyph->rect);
        }
        break;
    case Action::Command:
        for (WORD id : test.commands) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
        break;
    case Action::CloseMessage:
        PostMessageW(box, WM_CLOSE, 0, 0);
        break;
    case Action::OwnerDestroyed:
        PostMessageW(owner, kDestroyYourself, 0, 0);
        break;
    case Action::ThreadQuits:
        PostThreadMessageW(GetWindowThreadProcessId(box, nullptr), WM_QUIT, 0, 0);
        break;
    }
}

void MessageBoxTest::RunCases(std::span<const Case> cases)
{
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::atomic<HWND> owner{nullptr};
        std::future<Outcome> run = StartBox(test.type, owner);
        // A failed check leaves early: taking the owner away answers the box, so the thread ends.
        struct Unblock {
            std::atomic<HWND>& owner;
            ~Unblock() { PostMessageW(owner, kDestroyYourself, 0, 0); }
        } unblock{owner};
        const auto ownerDeadline = std::chrono::steady_clock::now() + 10s;
        while (!owner && std::chrono::steady_clock::now() < ownerDeadline) {
            std::this_thread::sleep_for(10ms);
        }
        const HWND box = WaitForBox(owner);
        ASSERT_NE(box, nullptr) << "no visible box owned by the asking window";
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the owner is disabled while the box runs";
        EXPECT_EQ(GetAncestor(box, GA_PARENT), GetDesktopWindow()) << "a top-level window";
        wchar_t title[64] = {};
        GetWindowTextW(box, title, 64);
        EXPECT_STREQ(title, L"Veyra");

        const std::vector<DumpedControl> controls = Dump(box);
        for (const auto& [id, text] : test.buttons) {
            const DumpedControl* button = ButtonOf(controls, id);
            ASSERT_NE(button, nullptr) << "button " << id;
            EXPECT_TRUE(button->visible) << "button " << id;
            EXPECT_EQ(button->text, text) << "button " << id;
        }
        size_t shownButtons = 0;
        for (const DumpedControl& control : controls) {
            shownButtons += control.kind == "button" && control.visible && control.id != 1003;
        }
        EXPECT_EQ(shownButtons, test.buttons.size());
        for (size_t index = 1; index < test.buttons.size(); ++index) {
            EXPECT_LT(ButtonOf(controls, test.buttons[index - 1].first)->rect.right,
                      ButtonOf(controls, test.buttons[index].first)->rect.left)
                << "buttons left to right";
        }
        for (const DumpedControl& control : controls) {
            if (control.id == 1004) {
                EXPECT_EQ(control.visible, *test.icon != '\0');
                EXPECT_EQ(control.image, test.icon);
            }
            if (control.id == 1005) {
                EXPECT_EQ(control.text, "退出时是否关闭虚拟系统所有的进程？");
            }
        }

        Answer(box, owner, test, controls);
        ASSERT_EQ(run.wait_for(15s), std::future_status::ready) << "the box was not answered";
        const Outcome outcome = run.get();
        EXPECT_EQ(outcome.hr, S_OK);
        EXPECT_EQ(outcome.result, test.expected);
        EXPECT_FALSE(IsWindow(box)) << "the box is gone";
        if (test.action != Action::OwnerDestroyed) {
            EXPECT_TRUE(outcome.ownerEnabledAfter) << "the owner is enabled again";
        }
        EXPECT_EQ(outcome.quitHandedOn, test.action == Action::ThreadQuits);
    }
}

// Wine: destroying a shown top-level window takes about 2 s on Xvfb without a window manager (the box and
// its owner: 4 s a case), so the cases come in groups, each its own test program run.
TEST_F(MessageBoxTest, EnterAndEscAnswerTheDefaultButtonAndTheCloseAnswer)
{
    RunCases(kKeyCases);
}

TEST_F(MessageBoxTest, AClickOnEachButtonOrTheCloseGlyphAnswersIt)
{
    RunCases(kClickCases);
}

TEST_F(MessageBoxTest, PostedCommandsCloseAndTheOwnerGoingAnswerLikeASystemBox)
{
    RunCases(kCommandCases);
}

TEST_F(MessageBoxTest, WithoutItsLayoutOrWithAnUnknownTypeTheBoxFailsAndLeavesTheOwnerAlone)
{
    HWND owner = CreateWindowExW(0, kOwnerClass, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    INT result = -1;
    EXPECT_EQ(m_engine->RunMessageBox(owner, L"text", L"caption", MB_YESNO, 0, 0, 0, nullptr), E_POINTER);
    EXPECT_EQ(m_engine->RunMessageBox(owner, L"text", L"caption", 7, 0, 0, 0, &result), E_INVALIDARG);
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(DeleteFileW((m_suite.ThemeFolder() + L"\\Common\\XML\\DefaultMessageBox.xml").c_str()));
    result = -1;
    EXPECT_TRUE(FAILED(m_engine->RunMessageBox(owner, L"text", L"caption", MB_YESNO, 0, 0, 0, &result)));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(FindWindowW(kBoxClass, nullptr), nullptr);
    DestroyWindow(owner);
}

TEST(MessageBoxButtonsTest, TypesGiveTheirAnswersDefaultAndCloseAnswer)
{
    struct TypeCase {
        UINT type;
        std::vector<int> answers;
        int defaultAnswer;
        int closeAnswer;
    };
    const TypeCase cases[] = {
        {MB_OK, {IDOK}, IDOK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, IDCANCEL},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDYES, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON3, {IDYES, IDNO}, IDYES, IDCANCEL},  // past the last button: the first
        {MB_RETRYCANCEL | MB_ICONEXCLAMATION, {IDRETRY, IDCANCEL}, IDRETRY, IDCANCEL},
        {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, IDCANCEL, IDCANCEL},
    };
    for (const TypeCase& test : cases) {
        SCOPED_TRACE(testing::Message() << "type 0x" << std::hex << test.type);
        const auto buttons = vorrel::ButtonsForType(test.type);
        ASSERT_TRUE(buttons);
        EXPECT_EQ(std::vector<int>(buttons->answers, buttons->answers + buttons->count), test.answers);
        EXPECT_EQ(buttons->defaultAnswer, test.defaultAnswer);
        EXPECT_EQ(buttons->closeAnswer, test.closeAnswer);
    }
    EXPECT_FALSE(vorrel::ButtonsForType(7));
    EXPECT_FALSE(vorrel::ButtonsForType(0xF));
    EXPECT_STREQ(vorrel::IconImageForType(36), L"IDI_ICONQUESTION");
    EXPECT_STREQ(vorrel::IconImageForType(MB_ICONHAND | MB_OK), L"IDI_ICONHAND");
    EXPECT_EQ(vorrel::IconImageForType(MB_YESNO), nullptr);
    EXPECT_EQ(vorrel::IconImageForType(0x50), nullptr);
}

}  // namespace

