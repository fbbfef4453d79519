// Tooltips: a layout's `tip` is attached; tools stand where their controls are shown, after moves and
// scrolling; a removed control's tool goes; a tip set on a worker thread makes no window there.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;

namespace {

struct ToolSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchTooltip(HWND hwnd, LPARAM data)
{
    auto* search = reinterpret_cast<ToolSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (_wcsicmp(name, TOOLTIPS_CLASSW) == 0 && GetWindow(hwnd, GW_OWNER) == search->owner) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND, LPARAM data)
{
    ++*reinterpret_cast<int*>(data);
    return TRUE;
}

// The host's tools by their text, with their rectangles.
std::map<std::wstring, RECT> Tools(HWND host)
{
    Pump();
    ToolSearch search{host, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchTooltip, reinterpret_cast<LPARAM>(&search));
    std::map<std::wstring, RECT> tools;
    if (!search.found) {
        return tools;
    }
    const int count = static_cast<int>(SendMessageW(search.found, TTM_GETTOOLCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        wchar_t text[80] = {};
        TTTOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.lpszText = text;
        if (SendMessageW(search.found, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(&info))) {
            tools[text] = info.rect;
        }
    }
    return tools;
}

bool Same(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

class TooltipTest : public SkinFixture {};

TEST_F(TooltipTest, LayoutTipsAreAttachedAtTheirControls)
{
    BuiltWindow desktop = Build(L"KavoSandbox.xml", true);
    const std::map<std::wstring, RECT> tools = Tools(desktop.host);
    const struct {
        const wchar_t* tip;
        USHORT id;
    } expected[] = {{L"功能介绍", 2009}, {L"设置", 2004}, {L"最小化", 2006}, {L"关闭", 2005}};
    for (const auto& test : expected) {
        SCOPED_TRACE(test.id);
        const auto found = tools.find(test.tip);
        ASSERT_NE(found, tools.end());
        EXPECT_TRUE(Same(found->second, desktop.RectOf(test.id)));
    }
    desktop.Close();
}

TEST_F(TooltipTest, ToolsFollowMovesAndScrollingAndGoWithTheirControl)
{
    BuiltWindow folder = Build(L"NsExplorer.xml", true);
    auto view = folder.Find<Ivorrel_panel>(1005, IID_Ivorrel_panel);
    RECT area{};
    view->GetRect(&area);
    auto filler = NewPanel(RECT{area.left, area.top, area.left + 50, area.top + 2000});
    view->AddChild(filler.get());
    auto item = NewPanel(RECT{area.left + 100, area.top + 100, area.left + 174, area.top + 188});
    item->SetTooltip(L"readme.txt");
    view->AddChild(item.get());
    EXPECT_TRUE(Same(Tools(folder.host)[L"readme.txt"], RECT{area.left + 100, area.top + 100, area.left + 174, area.top + 188}));

    const RECT moved{area.left + 200, area.top + 120, area.left + 274, area.top + 208};
    item->Move(&moved, TRUE);
    EXPECT_TRUE(Same(Tools(folder.host)[L"readme.txt"], moved));

    ComPtr<Ivorrel_scroll> scroll;
    ASSERT_EQ(view->GetScroll(scroll.put()), S_OK);
    scroll->SetPosition(70, TRUE);  // 140 pixels: the item's top is cut off by the panel's
    EXPECT_TRUE(Same(Tools(folder.host)[L"readme.txt"], RECT{moved.left, area.top, moved.right, moved.bottom - 140}));

    view->RemoveChild(item.get());
    EXPECT_EQ(Tools(folder.host).count(L"readme.txt"), 0u);
    folder.Close();
}

TEST_F(TooltipTest, TipSetOnAWorkerThreadMakesNoWindowThere)
{
    BuiltWindow desktop = Build(L"KavoSandbox.xml", true);
    auto help = desktop.Find<Ivorrel_control>(2009, IID_Ivorrel_control);
    int windowsOfWorker = -1;
    std::thread worker([&] {
        help->SetTooltip(L"正在复制");
        windowsOfWorker = 0;
        EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&windowsOfWorker));
    });
    worker.join();
    EXPECT_EQ(windowsOfWorker, 0);
    const auto tools = Tools(desktop.host);
    ASSERT_EQ(tools.count(L"正在复制"), 1u) << "the window's thread took the new tip up";
    EXPECT_TRUE(Same(tools.at(L"正在复制"), desktop.RectOf(2009)));
    desktop.Close();
}

}  // namespace
