#pragma once
// Images and resource packs. A pack is loaded from a layout or resource file's `resources/images` list;
// its images are decoded (GDI+, from the loose file or the skin package) when first asked for and then
// shared by every control that shows them. A nine-part image keeps its corners and stretches its edges
// and middle. The registry is the engine's ordered list of packs for lookups by name.
// Packs and images may be used from any thread: their state is set once under a lock.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/ComObject.h"
#include "suite/vorrel/XmlDocument.h"

namespace vorrel {

// Starts GDI+ once for the process (never shut down: DllMain may not, and windows paint until exit).
bool EnsureGdiplus() noexcept;

struct NinePart {
    RECT pieces[9];  // left_top ... right_bottom, source rectangles
};

class Image final : public vorrelUI::Ivorrel_image, public RefCounted {
public:
    Image(std::wstring name, std::unique_ptr<Gdiplus::Bitmap> bitmap, std::optional<NinePart> parts);
    VORREL_IUNKNOWN();
    HRESULT STDMETHODCALLTYPE GetSize(SIZE* size) override;
    HRESULT STDMETHODCALLTYPE GetName(LPWSTR buffer, UINT capacity) override;
    HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* target) override;

    // Draws into `target`; `frame` of `frames` side-by-side frames (check boxes hold two).
    void Paint(Gdiplus::Graphics& graphics, const RECT& target, int frame = 0, int frames = 1) const;
    [[nodiscard]] const std::wstring& Name() const noexcept { return m_name; }

    // Decodes a PNG (or any codec GDI+ has) from bytes; nullptr when it is not a picture.
    static std::unique_ptr<Gdiplus::Bitmap> Decode(const std::string& bytes);

private:
    std::wstring m_name;
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
    std::optional<NinePart> m_parts;
};

// The image behind an Ivorrel_image of this library, or nullptr for anything else.
Image* ImageFrom(vorrelUI::Ivorrel_image* image) noexcept;

class ResourcePack final : public vorrelUI::Ivorrel_respack, public RefCounted {
public:
    VORREL_IUNKNOWN();
    HRESULT STDMETHODCALLTYPE GetPath(LPWSTR buffer, UINT capacity) override;
    HRESULT STDMETHODCALLTYPE GetImageCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE Load(UINT flags, LPCWSTR xmlPath) override;
    // Looks in this pack, then in the registered packs in registration order.
    HRESULT STDMETHODCALLTYPE GetImage(LPCWSTR name, vorrelUI::Ivorrel_image** image) override;

    // Takes the image list of an already parsed document (a window's own layout).
    void LoadFrom(const XmlElement& config, const std::wstring& xmlPath);
    // The image by name or, when `name` is a relative file path, the picture file itself.
    veyra::ComPtr<Image> Find(const std::wstring& name);

private:
    struct Entry {
        std::wstring name;
        std::wstring path;  // as written in the file
        std::optional<NinePart> parts;
        veyra::ComPtr<Image> decoded;
        bool tried = false;
    };
    veyra::ComPtr<Image> DecodeLocked(Entry& entry);

    std::mutex m_lock;
    std::wstring m_path;
    std::vector<Entry> m_entries;
};

// Resolves a path written in a skin file against the file's folder and the skin folder above it.
std::optional<std::string> ReadRelativeSkinFile(const std::wstring& fileWritingIt, const std::wstring& relative);

class ResourceRegistry final : public vorrelUI::Ivorrel_resregistry, public RefCounted {
public:
    VORREL_IUNKNOWN();
    HRESULT STDMETHODCALLTYPE GetPackCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetPack(UINT index, vorrelUI::Ivorrel_respack** pack) override;
    HRESULT STDMETHODCALLTYPE FindImage(LPCWSTR name, vorrelUI::Ivorrel_image** image) override;
    HRESULT STDMETHODCALLTYPE AddPack(UINT flags, vorrelUI::Ivorrel_respack* pack) override;

    // Looks in `first` (when given), then in every registered pack in registration order.
    veyra::ComPtr<Image> Lookup(const std::wstring& name, ResourcePack* first);

    static ResourceRegistry& Instance();

private:
    std::mutex m_lock;
    std::vector<veyra::ComPtr<ResourcePack>> m_packs;
};

}  // namespace vorrel
