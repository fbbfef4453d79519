#pragma once
// The desktop's own file clipboard: at most one pending copy or cut per desktop, keyed by the owner key
// that a desktop window hands to its views and folder windows, so that what one window of a desktop
// copies any other window of that desktop can paste. The system clipboard is not involved. One
// process-wide store (g_clipboardStore), built before start-up; it belongs to the UI thread (no lock).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace veyra {

// The owner key of one desktop, the same int the windows, views and file operations pass: 0 for the
// main desktop.
using ClipboardOwnerKey = int;

enum ClipboardOperation : int {
    kClipboardCut = 0,
    kClipboardCopy = 1,
};

struct ClipboardEntry {
    int operation = kClipboardCopy;
    // In selection order: the path that each selected item resolves to.
    std::vector<std::wstring> paths;
};

class CClipboardStore {
public:
    // 1 when the key has an entry.
    [[nodiscard]] int Contains(ClipboardOwnerKey key) const noexcept;
    // Erases the key's entry when there is one.
    void Remove(ClipboardOwnerKey key) noexcept;
    // Replaces the key's entry with the operation and a copy of the paths: 1. An empty list changes
    // nothing (an earlier entry stays): 0, as does a failed allocation.
    int Set(ClipboardOwnerKey key, int operation, const std::vector<std::wstring>& paths) noexcept;
    // Copies the key's entry out and leaves it in place: 1; 0 when there is none (or the copy fails).
    [[nodiscard]] int Get(ClipboardOwnerKey key, int& operation, std::vector<std::wstring>& paths) const noexcept;

private:
    std::map<ClipboardOwnerKey, ClipboardEntry> m_entries;
};

extern CClipboardStore g_clipboardStore;

}  // namespace veyra
