#include "tests/shell/dialogs/BoxFixture.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include "core/fileops/EngineBinding.h"
#include "core/fileops/OperationPrompts.h"
#include "shell/dialogs/CShellPrompts.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinStartup.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/SkinWindowProbe.h"

namespace veyra::test {

namespace {

constexpr int kHostWidth = 830;
constexpr int kHostHeight = 625;

std::unique_ptr<FakeSuite> s_suite;

// The suite's skin, started once as the desktop program starts it.
class SkinEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        s_suite = std::make_unique<FakeSuite>(SuitePart::SkinLibrary | SuitePart::SkinProxy | SuitePart::ThemeFiles);
        ASSERT_NE(LoadLibraryW((*s_suite / L"vorrel.dll").c_str()), nullptr);
        const skin::SkinStartReport report = skin::StartSkin(s_suite->Root().c_str());
        ASSERT_TRUE(report.Succeeded()) << skin::SkinStartStepName(report.failedStep);
    }
    void TearDown() override
    {
        skin::ImagePack.reset();
        skin::MessageBoxPack.reset();
        skin::ThemeLoaderPtr.reset();
        skin::ResRegistryPtr.reset();
        skin::EnginePtr.reset();
        s_suite.reset();
        CoUninitialize();
    }
};

const auto* const s_environment = ::testing::AddGlobalTestEnvironment(new SkinEnvironment);

dialogs::CShellPrompts s_prompts;

}  // namespace

BrokenLayout::BrokenLayout(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    skin::GetSkinDirectory(folder);
    m_path = std::wstring(folder) + L"\\KavoSandBox\\" + name;
    m_written = WriteFileBytes(m_path, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config><window id=\"1\" "
                                       "style=\"0x06cf0000\" theme=\"SandBoxExplorerWindow\" bound=\"0,0,100,60\"/>"
                                       "</config>\n");
}

BrokenLayout::~BrokenLayout()
{
    DeleteFileW(m_path.c_str());
}

BoxHost::BoxHost(int ownerKey) : m_ownerKey(ownerKey)
{
    WindowPlacement placement;
    placement.style = WS_POPUP;
    placement.x = (GetSystemMetrics(SM_CXSCREEN) - kHostWidth) / 2;
    placement.y = (GetSystemMetrics(SM_CYSCREEN) - kHostHeight) / 2;
    placement.width = kHostWidth;
    placement.height = kHostHeight;
    WindowClass windowClass{L"VeyraBoxTestHost"};
    windowClass.background = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    EXPECT_TRUE(Create(windowClass, L"Veyra", placement));
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    RegisterHostWindow(m_ownerKey, Handle());
}

BoxHost::~BoxHost()
{
    RegisterHostWindow(m_ownerKey, nullptr);
    if (Handle()) {
        DestroyWindow(Handle());
    }
}

std::span<const BoxHost::Entry> BoxHost::Messages()
{
    static const Entry entries[] = {{WM_COPYDATA, &BoxHost::OnCopyData}};
    return entries;
}

LRESULT BoxHost::OnCopyData(WPARAM, LPARAM lParam)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || !data->lpData) {
        return 0;
    }
    if ((data->dwData == COPYDATA_REGISTER_WINDOW || data->dwData == COPYDATA_UNREGISTER_WINDOW) &&
        data->cbData == sizeof(HostWindowEntry)) {
        const auto& entry = *static_cast<const HostWindowEntry*>(data->lpData);
        if (data->dwData == COPYDATA_REGISTER_WINDOW) {
            m_registered.Add(WindowOf(entry), entry);
        } else {
            m_registered.Remove(WindowOf(entry));
        }
    }
    return 1;
}

Asker::Asker(std::function<int()> ask)
    : m_thread([this, ask = std::move(ask)] {
          m_threadId = GetCurrentThreadId();
          (void)CoInitialize(nullptr);
          m_result = ask();
          CoUninitialize();
          m_answered = true;
      })
{
}

Asker::~Asker()
{
    // A case that failed before answering: the box's loop quits, the thread ends.
    while (!m_answered) {
        if (const DWORD id = m_threadId.load()) {
            PostThreadMessageW(id, WM_QUIT, 0, 0);
        }
        (void)PumpUntil([this] { return m_answered.load(); }, 100);
    }
    m_thread.join();
}

bool Asker::WaitAnswered(DWORD timeoutMs)
{
    return PumpUntil([this] { return m_answered.load(); }, timeoutMs);
}

HWND WaitForShownWindow(const wchar_t* className, HWND except, DWORD timeoutMs)
{
    HWND found = nullptr;
    (void)PumpUntil(
        [&] {
            for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window;
                 window = FindWindowExW(nullptr, window, className, nullptr)) {
                if (window != except && IsWindowVisible(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

void BoxFixture::SetUp()
{
    SandBoxViewFixture::SetUp();
    InstallFileOperationEngine(CSandBoxFileSystem::Instance());
    (void)SetOperationPrompts(&s_prompts);
    host = std::make_unique<BoxHost>(kSandbox);
}

void BoxFixture::TearDown()
{
    host.reset();
    (void)SetOperationPrompts(nullptr);
    SandBoxViewFixture::TearDown();
}

std::string BoxFixture::Dump(HWND box)
{
    std::string dump;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        dump = DumpSkinWindow(box, dumps / L"box.tree");
        done = true;
    });
    (void)PumpUntil([&] { return done.load(); }, 15000);
    reader.join();
    return dump;
}

std::string BoxFixture::WaitForField(HWND box, USHORT id, const char* field, const std::string& value)
{
    std::string dump;
    (void)PumpUntil(
        [&] {
            dump = Dump(box);
            return ControlField(dump, id, field) == value;
        },
        10000);
    return dump;
}

void BoxFixture::Click(HWND box, USHORT id)
{
    EXPECT_TRUE(ClickControl(box, Dump(box), id)) << "control " << id << " is not in the box's dump";
}

void BoxFixture::AwaitScreenshot(const char* name)
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VEYRA_SHOT_FOLDER", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const std::wstring base = std::wstring(folder) + L"\\" + std::wstring(name, name + strlen(name));
    ASSERT_TRUE(WriteFileBytes(base + L".ready", "ready"));
    const std::wstring taken = base + L".taken";
    EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesW(taken.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000));
}

}  // namespace veyra::test
