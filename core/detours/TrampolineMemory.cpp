#include "TrampolineMemory.h"

#include <windows.h>

#include <algorithm>
#include <bitset>
#include <cstring>
#include <vector>

namespace veyra::detours {

namespace {

constexpr std::size_t kRegionSize = 64 * 1024;
constexpr std::size_t kSlotsPerRegion = kRegionSize / kTrampolineSlotSize;
// Stay a little inside +-2 GiB so every slot of a region and every byte of a patched function fit.
constexpr std::uintptr_t kReach = 0x7FF00000u;

struct Region {
    std::uint8_t* base;
    std::bitset<kSlotsPerRegion> used;
};

std::vector<Region>& Regions()
{
    static std::vector<Region> regions;
    return regions;
}

std::uintptr_t AlignDown(std::uintptr_t value, std::uintptr_t alignment) { return value - value % alignment; }

std::uint8_t* ReserveAt(std::uintptr_t address)
{
    return static_cast<std::uint8_t*>(VirtualAlloc(reinterpret_cast<void*>(address), kRegionSize,
                                                   MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READ));
}

// Walks the address space away from `anchor` (downwards, then upwards) for a free, aligned range.
std::uint8_t* ReserveRegionNear(std::uintptr_t anchor)
{
    if constexpr (sizeof(void*) == 4) {
        return ReserveAt(0);
    }
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::uintptr_t granularity = system.dwAllocationGranularity;
    const auto lowest = std::max(reinterpret_cast<std::uintptr_t>(system.lpMinimumApplicationAddress),
                                 anchor > kReach ? anchor - kReach : 0);
    const auto highest = std::min(reinterpret_cast<std::uintptr_t>(system.lpMaximumApplicationAddress),
                                  anchor + kReach) - kRegionSize;
    MEMORY_BASIC_INFORMATION info{};
    for (std::uintptr_t at = AlignDown(anchor, granularity); at >= lowest;) {
        if (!VirtualQuery(reinterpret_cast<void*>(at), &info, sizeof(info))) {
            break;
        }
        std::uintptr_t next = at;
        if (info.State == MEM_FREE) {
            if (std::uint8_t* region = ReserveAt(at)) {
                return region;
            }
        } else {
            next = std::min(at, AlignDown(reinterpret_cast<std::uintptr_t>(info.BaseAddress), granularity));
        }
        if (next < lowest + granularity) {
            break;
        }
        at = next - granularity;
    }
    for (std::uintptr_t at = AlignDown(anchor, granularity) + granularity; at <= highest;) {
        if (!VirtualQuery(reinterpret_cast<void*>(at), &info, sizeof(info))) {
            break;
        }
        if (info.State == MEM_FREE) {
            if (std::uint8_t* region = ReserveAt(at)) {
                return region;
            }
            at += granularity;
        } else {
            const auto end = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
            at = std::max(at + granularity, AlignDown(end + granularity - 1, granularity));
        }
    }
    return nullptr;
}

bool RegionReaches(const Region& region, const void* anchor)
{
    return WithinRel32(anchor, region.base) && WithinRel32(anchor, region.base + kRegionSize);
}

}  // namespace

bool WithinRel32(const void* from, const void* to) noexcept
{
    if constexpr (sizeof(void*) == 4) {
        return true;  // 32-bit displacements wrap around the whole address space
    }
    const auto distance = reinterpret_cast<std::intptr_t>(to) - reinterpret_cast<std::intptr_t>(from);
    return distance >= -static_cast<std::intptr_t>(kReach) && distance <= static_cast<std::intptr_t>(kReach);
}

std::uint8_t* AllocateTrampolineSlot(const void* anchor) noexcept
{
    try {
        std::vector<Region>& regions = Regions();
        auto found = std::find_if(regions.begin(), regions.end(), [anchor](const Region& region) {
            return !region.used.all() && RegionReaches(region, anchor);
        });
        if (found == regions.end()) {
            std::uint8_t* base = ReserveRegionNear(reinterpret_cast<std::uintptr_t>(anchor));
            if (!base) {
                return nullptr;
            }
            regions.push_back(Region{base, {}});
            found = regions.end() - 1;
        }
        std::size_t index = 0;
        while (found->used.test(index)) {
            ++index;
        }
        found->used.set(index);
        return found->base + index * kTrampolineSlotSize;
    } catch (...) {
        return nullptr;
    }
}

void FreeTrampolineSlot(std::uint8_t* slot) noexcept
{
    for (Region& region : Regions()) {
        if (slot >= region.base && slot < region.base + kRegionSize) {
            region.used.reset(static_cast<std::size_t>(slot - region.base) / kTrampolineSlotSize);
            return;
        }
    }
}

bool WriteCode(void* address, const void* bytes, std::size_t size) noexcept
{
    DWORD previous = 0;
    // Stays executable while writable: other threads may be running code on the same page.
    if (!VirtualProtect(address, size, PAGE_EXECUTE_READWRITE, &previous)) {
        return false;
    }
    std::memcpy(address, bytes, size);
    DWORD ignored = 0;
    VirtualProtect(address, size, previous, &ignored);
    FlushInstructionCache(GetCurrentProcess(), address, size);
    return true;
}

}  // namespace veyra::detours
