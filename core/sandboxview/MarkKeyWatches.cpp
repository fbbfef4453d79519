#include "core/sandboxview/MarkKeyWatches.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "core/sandboxview/MarkCache.h"

namespace veyra::sandboxview {

namespace {

std::atomic<long> s_watchedKeys{0};

constexpr DWORD kValueChanges = REG_NOTIFY_CHANGE_LAST_SET;
constexpr DWORD kNameChanges = REG_NOTIFY_CHANGE_NAME;

// Watches `key` from now on; nullptr when it cannot.
std::unique_ptr<KeyWatch> Watch(UniqueRegKey key, DWORD filter)
{
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event || WatchKey(key.get(), FALSE, filter, event.get()) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<KeyWatch>(std::move(key), std::move(event));
}

// Holds a share of the watch budget until the watches it was taken for exist.
class WatchBudget {
public:
    explicit WatchBudget(long keys) noexcept : m_keys(keys)
    {
        if (s_watchedKeys.fetch_add(keys) + keys > kMaxWatchedKeys) {
            s_watchedKeys.fetch_sub(keys);
            m_keys = 0;
            m_granted = false;
        }
    }
    ~WatchBudget() { s_watchedKeys.fetch_sub(m_keys); }
    WatchBudget(const WatchBudget&) = delete;
    WatchBudget& operator=(const WatchBudget&) = delete;

    [[nodiscard]] bool Granted() const noexcept { return m_granted; }
    // One key's share goes to a watch, which gives it back when it ends.
    void Hand() noexcept { --m_keys; }

private:
    long m_keys;
    bool m_granted = true;
};

// The one caller that brings a folder up to date; others do not wait for it.
class TryHold {
public:
    explicit TryHold(SRWLOCK& lock) noexcept : m_lock(lock), m_held(TryAcquireSRWLockExclusive(&lock) != 0) {}
    ~TryHold()
    {
        if (m_held) {
            ReleaseSRWLockExclusive(&m_lock);
        }
    }
    TryHold(const TryHold&) = delete;
    TryHold& operator=(const TryHold&) = delete;

    [[nodiscard]] bool Held() const noexcept { return m_held; }

private:
    SRWLOCK& m_lock;
    bool m_held;
};

bool Fired(HANDLE event) noexcept
{
    return WaitForSingleObject(event, 0) != WAIT_TIMEOUT;
}

// Watches the key again, then reads its value: a change after the watch fires it once more.
bool Refresh(KeyWatch& watch) noexcept
{
    ResetEvent(watch.event.get());
    if (WatchKey(watch.key.get(), FALSE, kValueChanges, watch.event.get()) != ERROR_SUCCESS) {
        return false;
    }
    watch.state = ReadMark(watch.key.get(), nullptr);
    return true;
}

}  // namespace

KeyWatch::KeyWatch(UniqueRegKey watchedKey, UniqueHandle changeEvent) noexcept
    : key(std::move(watchedKey)), event(std::move(changeEvent))
{
}

KeyWatch::~KeyWatch()
{
    s_watchedKeys.fetch_sub(1);
}

std::shared_ptr<FolderMarks> ReadWatchedFolder(HKEY folder, DWORD count, std::uint64_t epoch)
{
    // A folder without sub-keys is not watched: its key can go and come again without a word.
    WatchBudget budget(static_cast<long>(count) + 1);
    if (count == 0 || !budget.Granted()) {
        return nullptr;
    }
    UniqueRegKey namesKey;
    if (RegOpenKeyExW(folder, nullptr, 0, KEY_NOTIFY, namesKey.put()) != ERROR_SUCCESS) {
        return nullptr;
    }
    // The names first: a sub-key made while the others are read fires it.
    std::unique_ptr<KeyWatch> names = Watch(std::move(namesKey), kNameChanges);
    if (!names) {
        return nullptr;
    }
    budget.Hand();
    auto marks = std::make_shared<FolderMarks>();
    marks->epoch = epoch;
    marks->children.reserve(count);
    // Set as for a folder read without watches, which may take this entry's place.
    const ULONGLONG settledBefore = SettledBefore();
    for (DWORD index = 0; index < count; ++index) {
        wchar_t name[MAX_PATH];
        DWORD nameLength = MAX_PATH;
        FILETIME lastWrite{};
        const LSTATUS status =
            RegEnumKeyExW(folder, index, name, &nameLength, nullptr, nullptr, nullptr, &lastWrite);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;  // sub-keys went meanwhile: the names watch has fired
        }
        UniqueRegKey childKey;
        if (status != ERROR_SUCCESS || RegOpenKeyExW(folder, name, 0, KEY_READ, childKey.put()) != ERROR_SUCCESS) {
            return nullptr;
        }
        std::shared_ptr<KeyWatch> watch = Watch(std::move(childKey), kValueChanges);
        if (!watch) {
            return nullptr;
        }
        budget.Hand();
        watch->state = ReadMark(watch->key.get(), nullptr);
        MarkedChild child{std::wstring(name, nameLength), UpperCase(std::wstring(name, nameLength)), lastWrite};
        child.state = watch->state;
        child.settled = child.state != MarkState::Unreadable && IsSettled(lastWrite, settledBefore);
        child.watch = std::move(watch);
        marks->children.push_back(std::move(child));
    }
    marks->SortChildren();
    marks->watch = std::make_shared<FolderWatch>(std::move(names));
    return marks;
}

CheckResult CheckWatchedFolder(const FolderMarks& prior, std::uint64_t epoch, std::shared_ptr<FolderMarks>& fresh)
{
    FolderWatch& folder = *prior.watch;
    TryHold hold(folder.checkLock);
    if (!hold.Held()) {
        return CheckResult::Busy;
    }
    if (Fired(folder.names->event.get())) {
        return CheckResult::Changed;
    }
    auto marks = std::make_shared<FolderMarks>();
    marks->epoch = epoch;
    marks->watch = prior.watch;
    marks->children = prior.children;
    // Up to 64 events a wait; each wait names the first that fired, so the next one starts behind it.
    constexpr std::size_t kWaitLimit = MAXIMUM_WAIT_OBJECTS;
    std::vector<HANDLE> events;
    for (std::size_t start = 0; start < marks->children.size(); start += kWaitLimit) {
        const std::size_t end = std::min(marks->children.size(), start + kWaitLimit);
        events.clear();
        for (std::size_t index = start; index < end; ++index) {
            events.push_back(marks->children[index].watch->event.get());
        }
        for (std::size_t from = 0; from < events.size();) {
            const DWORD waited = WaitForMultipleObjects(static_cast<DWORD>(events.size() - from), events.data() + from,
                                                        FALSE, 0);
            if (waited == WAIT_TIMEOUT) {
                break;
            }
            if (waited >= WAIT_OBJECT_0 + events.size() - from) {
                return CheckResult::Changed;
            }
            const std::size_t fired = from + (waited - WAIT_OBJECT_0);
            MarkedChild& child = marks->children[start + fired];
            if (!Refresh(*child.watch)) {
                return CheckResult::Changed;  // the key went: so did its name, and the folder is read again
            }
            child.settled = false;
            from = fired + 1;
        }
    }
    // The watches hold what was read last, also by an earlier check whose entry was not stored yet.
    for (MarkedChild& child : marks->children) {
        child.state = child.watch->state;
    }
    fresh = std::move(marks);
    return CheckResult::Current;
}

}  // namespace veyra::sandboxview
