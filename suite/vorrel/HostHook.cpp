#include "suite/vorrel/HostHook.h"

#include <mutex>
#include <unordered_map>

#include "suite/vorrel/SkinWindow.h"

namespace vorrel {

namespace {

struct Hook {
    SkinWindow* skin = nullptr;  // null once the skin let go while the hook stays in the chain
    WNDPROC previous = nullptr;
};

struct HookTable {
    std::mutex lock;
    std::unordered_map<HWND, Hook> hooks;
};

HookTable& Table()
{
    static HookTable* table = new HookTable;  // lives until the process ends: hosts may outlive statics
    return *table;
}

Hook Find(HWND host) noexcept
{
    HookTable& table = Table();
    std::lock_guard guard(table.lock);
    const auto found = table.hooks.find(host);
    return found == table.hooks.end() ? Hook{} : found->second;
}

void Erase(HWND host) noexcept
{
    HookTable& table = Table();
    std::lock_guard guard(table.lock);
    table.hooks.erase(host);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    const Hook hook = Find(hwnd);
    if (!hook.previous) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (!hook.skin) {
        if (message == WM_NCDESTROY) {
            Erase(hwnd);
        }
        return CallWindowProcW(hook.previous, hwnd, message, wParam, lParam);
    }
    try {
        return hook.skin->HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return CallWindowProcW(hook.previous, hwnd, message, wParam, lParam);
    }
}

}  // namespace

bool HookHost(HWND host, SkinWindow* skin) noexcept
{
    HookTable& table = Table();
    {
        std::lock_guard guard(table.lock);
        if (const auto found = table.hooks.find(host); found != table.hooks.end()) {
            found->second.skin = skin;
            return true;
        }
    }
    try {
        std::lock_guard guard(table.lock);
        table.hooks[host] = Hook{skin, nullptr};  // in place before the first message can arrive
    } catch (...) {
        return false;
    }
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostProc)));
    if (!previous) {
        Erase(host);
        return false;
    }
    std::lock_guard guard(table.lock);
    table.hooks[host].previous = previous;
    return true;
}

void UnhookHost(HWND host, const SkinWindow* skin) noexcept
{
    const Hook hook = Find(host);
    if (hook.skin != skin || !hook.previous) {
        return;
    }
    if (GetWindowLongPtrW(host, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HostProc)) {
        SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.previous));
        Erase(host);
        return;
    }
    HookTable& table = Table();
    std::lock_guard guard(table.lock);
    if (const auto found = table.hooks.find(host); found != table.hooks.end()) {
        found->second.skin = nullptr;
    }
}

WNDPROC HostProcedure(HWND host) noexcept
{
    const Hook hook = Find(host);
    return hook.previous ? hook.previous : &DefWindowProcW;
}

LRESULT PassToHost(HWND host, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallWindowProcW(HostProcedure(host), host, message, wParam, lParam);
}

}  // namespace vorrel
