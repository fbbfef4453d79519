#include "core/sandboxview/MarkCache.h"

#include <algorithm>

#include "base/SrwLock.h"
#include "core/sandboxview/MarkKeys.h"

namespace veyra::sandboxview {

namespace {

// Folders remembered per sandbox: the desktop, the open folder windows and the start menu, with room.
constexpr std::size_t kMaxFolders = 64;

// Reads the direct sub-keys of the folder's mark key, taking over the marks of `prior` that cannot have
// changed, and with `watched` arming watches on them for the checks to come; nullptr on a registry failure.
std::shared_ptr<FolderMarks> ReadFolderMarks(const std::wstring& folderKeyPath, const FolderMarks* prior,
                                             std::uint64_t epoch, bool watched)
{
    auto marks = std::make_shared<FolderMarks>();
    marks->epoch = epoch;
    UniqueRegKey key;
    const LSTATUS opened = OpenMarkKey(folderKeyPath, KEY_READ, false, key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return marks;  // no marks under the folder
    }
    DWORD count = 0;
    if (opened != ERROR_SUCCESS || RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                                                    nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    if (watched) {
        if (std::shared_ptr<FolderMarks> watchedMarks = ReadWatchedFolder(key.get(), count, epoch)) {
            return watchedMarks;
        }
    }
    const ULONGLONG settledBefore = SettledBefore();
    marks->children.reserve(count);
    for (DWORD index = 0; index < count; ++index) {
        wchar_t name[MAX_PATH];
        DWORD nameLength = MAX_PATH;
        FILETIME lastWrite{};
        const LSTATUS status =
            RegEnumKeyExW(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, &lastWrite);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;  // sub-keys went meanwhile; the change notification has the cache look again
        }
        if (status != ERROR_SUCCESS) {
            marks->epoch = 0;  // a single sub-key is skipped, as before; the entry is read again next time
            continue;
        }
        MarkedChild child{std::wstring(name, nameLength), UpperCase(std::wstring(name, nameLength)), lastWrite};
        const MarkedChild* known = prior ? prior->Find(child.upperName) : nullptr;
        if (known && known->settled && CompareFileTime(&known->lastWrite, &lastWrite) == 0) {
            child.state = known->state;
            child.settled = true;
        } else {
            child.state = ReadMark(key.get(), name);
            child.settled = child.state != MarkState::Unreadable && IsSettled(lastWrite, settledBefore);
        }
        marks->children.push_back(std::move(child));
    }
    marks->SortChildren();
    return marks;
}

}  // namespace

void FolderMarks::SortChildren()
{
    std::sort(children.begin(), children.end(),
              [](const MarkedChild& left, const MarkedChild& right) { return left.upperName < right.upperName; });
}

const MarkedChild* FolderMarks::Find(std::wstring_view upperName) const noexcept
{
    const auto found = std::lower_bound(children.begin(), children.end(), upperName,
                                        [](const MarkedChild& child, std::wstring_view name) {
                                            return std::wstring_view(child.upperName) < name;
                                        });
    return found != children.end() && found->upperName == upperName ? &*found : nullptr;
}

struct MarkCache::Domain {
    Domain(std::wstring rootPath, std::wstring parentPath) : watch(std::move(rootPath), std::move(parentPath)) {}

    MarkWatch watch;
    SRWLOCK lock = SRWLOCK_INIT;  // exclusive to re-arm the watch or change the table, shared to look up
    std::atomic<std::uint64_t> epoch{1};
    std::atomic<std::uint64_t> useClock{0};
    std::unordered_map<std::wstring, std::shared_ptr<const FolderMarks>> folders;  // by upper-cased key path
};

MarkCache::MarkCache() noexcept = default;

MarkCache& MarkCache::Instance()
{
    static MarkCache cache;
    return cache;
}

MarkCache::Domain& MarkCache::DomainOf(int sandboxId)
{
    {
        SharedSrwHold hold(m_lock);
        const auto found = m_domains.find(sandboxId);
        if (found != m_domains.end()) {
            return *found->second;
        }
    }
    ExclusiveSrwHold hold(m_lock);
    auto& domain = m_domains[sandboxId];
    if (!domain) {
        // Sandbox 0's root is a sub-key of HKEY_USERS itself; the numbered ones live below it.
        domain = std::make_unique<Domain>(MarkRootKey(sandboxId), sandboxId == 0 ? L"" : MarkRootKey(0));
    }
    return *domain;
}

// Takes in the changes the watch has seen: entries read before them are no longer current.
std::uint64_t MarkCache::CurrentEpoch(Domain& domain) noexcept
{
    if (domain.watch.Changed()) {
        ExclusiveSrwHold hold(domain.lock);
        // Another caller may have re-armed it meanwhile. Re-armed first, then the epoch moves on: a change
        // before the new watch is covered by the new epoch, one after it signals again.
        if (domain.watch.Changed()) {
            domain.watch.Rearm();
            domain.epoch.fetch_add(1);
        }
    }
    return domain.epoch.load();
}

void MarkCache::Store(Domain& domain, std::wstring upperPath, std::shared_ptr<const FolderMarks> marks)
{
    marks->lastUse = domain.useClock.fetch_add(1) + 1;
    ExclusiveSrwHold hold(domain.lock);
    auto found = domain.folders.find(upperPath);
    if (found != domain.folders.end()) {
        // A slower reader that began earlier must not put back what it read before a change.
        if (found->second->epoch <= marks->epoch) {
            found->second = std::move(marks);
        }
        return;
    }
    if (domain.folders.size() >= kMaxFolders) {
        const auto oldest = std::min_element(domain.folders.begin(), domain.folders.end(),
                                             [](const auto& left, const auto& right) {
                                                 return left.second->lastUse < right.second->lastUse;
                                             });
        domain.folders.erase(oldest);
    }
    domain.folders.emplace(std::move(upperPath), std::move(marks));
}

std::shared_ptr<const FolderMarks> MarkCache::Marks(int sandboxId, const std::wstring& folderKeyPath)
{
    Domain& domain = DomainOf(sandboxId);
    const std::uint64_t epoch = CurrentEpoch(domain);
    std::wstring upperPath = UpperCase(folderKeyPath);
    std::shared_ptr<const FolderMarks> prior;
    {
        SharedSrwHold hold(domain.lock);
        const auto found = domain.folders.find(upperPath);
        if (found != domain.folders.end()) {
            prior = found->second;
        }
    }
    if (prior && prior->epoch == epoch) {
        prior->lastUse = domain.useClock.fetch_add(1) + 1;
        return prior;
    }
    // A folder read once is watched from its second read on: folders listed once (a tree being copied)
    // cost no watches.
    bool watched = prior != nullptr;
    std::shared_ptr<FolderMarks> checked;
    if (prior && prior->watch) {
        const CheckResult result = CheckWatchedFolder(*prior, epoch, checked);
        watched = result == CheckResult::Changed;
    }
    std::shared_ptr<const FolderMarks> marks =
        checked ? std::move(checked) : ReadFolderMarks(folderKeyPath, prior.get(), epoch, watched);
    if (marks) {
        Store(domain, std::move(upperPath), marks);
    }
    return marks;
}

int MarkCache::KnownMark(int sandboxId, const std::wstring& folderKeyPath, const std::wstring& childName)
{
    Domain& domain = DomainOf(sandboxId);
    const std::uint64_t epoch = CurrentEpoch(domain);
    const std::wstring upperPath = UpperCase(folderKeyPath);
    SharedSrwHold hold(domain.lock);
    const auto found = domain.folders.find(upperPath);
    if (found == domain.folders.end() || found->second->epoch != epoch) {
        return -1;
    }
    const MarkedChild* child = found->second->Find(UpperCase(childName));
    if (!child) {
        return 0;
    }
    // A value that could not be read is read again by the caller, with its access repair.
    return child->state == MarkState::Unreadable ? -1 : (child->Marked() ? 1 : 0);
}

void MarkCache::MarksWritten(int sandboxId, const std::wstring& keyPath) noexcept
{
    try {
        Domain& domain = DomainOf(sandboxId);
        const std::size_t slash = keyPath.find_last_of(L'\\');
        if (slash != std::wstring::npos) {
            const std::wstring upperPath = UpperCase(keyPath.substr(0, slash));
            SharedSrwHold hold(domain.lock);
            const auto found = domain.folders.find(upperPath);
            if (found != domain.folders.end() && found->second->watch) {
                // The watch may learn of the write a little later than the writer returns: the next check
                // reads the key again whatever its watch says by then.
                const MarkedChild* child = found->second->Find(UpperCase(keyPath.substr(slash + 1)));
                const KeyWatch& watch = child && child->watch ? *child->watch : *found->second->watch->names;
                SetEvent(watch.event.get());
            }
        }
        domain.epoch.fetch_add(1);
    } catch (...) {
        // Without memory for the table there is no entry to outdate either.
    }
}

}  // namespace veyra::sandboxview
