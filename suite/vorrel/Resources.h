#pragma once
// Images and resource packs. A pack is loaded from a layout or resource file's `resources/images` list;
// an image's file (loose or in the skin package) is read when the image is first asked for, so a missing
// file is not found, and decoded when first painted or measured (Picture.h). Every control that shows an
// image shares it; images of one file in several packs share its decoded picture. A nine-part image keeps
// its corners and stretches its edges and middle. The registry is the engine's ordered list of packs for
// lookups by name. Packs and images may be used from any thread: their state is set once under a lock.

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
#include "suite/vorrel/Picture.h"
#include "suite/vorrel/XmlDocument.h"

namespace vorrel {

// Starts GDI+ once for the process (never shut down: DllMain may not, and windows paint until exit).
bool EnsureGdiplus() noexcept;

struct NinePart {
    RECT pieces[9];  // left_top ... right_bottom, source rectangles
};

class Image final : public vorrelUI::Ivorrel_image, public RefCounted {
public:
    Image(std::wstring name, std::shared_ptr<Picture> picture, std::optional<NinePart> parts);
    VORREL_IUNKNOWN();
    // A file that is no picture: ERROR_INVALID_DATA (and a size of 0x0), nothing drawn.
    HRESULT STDMETHODCALLTYPE GetSize(SIZE* size) override;
    HRESULT STDMETHODCALLTYPE GetName(LPWSTR buffer, UINT capacity) override;
    HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* target) override;

    // Draws into `target`; `frame` of `frames` side-by-side frames (check boxes hold two). A file that is
    // no picture draws nothing.
    void Paint(Gdiplus::Graphics& graphics, const RECT& target, int frame = 0, int frames = 1) const;
    [[nodiscard]] const std::wstring& Name() const noexcept { return m_name; }
    // Whether the file decodes (decoding it now when it has not been).
    [[nodiscard]] bool Decodes() const;
    [[nodiscard]] const Picture* SharedPicture() const noexcept { return m_picture.get(); }

private:
    void PaintBitmap(Gdiplus::Bitmap& bitmap, Gdiplus::Graphics& graphics, const RECT& target, int frame,
                     int frames) const;

    std::wstring m_name;
    std::shared_ptr<Picture> m_picture;  // never null
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
        veyra::ComPtr<Image> image;
        bool tried = false;
    };
    veyra::ComPtr<Image> ReadLocked(Entry& entry);

    std::mutex m_lock;
    std::wstring m_path;
    std::vector<Entry> m_entries;
};

// Resolves a path written in a skin file against the file's folder and the skin folder above it;
// `servedAs` (when given) receives the resolved path that was read.
std::optional<std::string> ReadRelativeSkinFile(const std::wstring& fileWritingIt, const std::wstring& relative,
                                                std::wstring* servedAs = nullptr);

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
