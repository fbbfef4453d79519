#include "Resources.h"

#include "suite/vorrel/SkinFiles.h"

namespace vorrel {

namespace {

// Answered by this library's images only, so a foreign image object is never taken for ours.
constexpr IID kImageImplementation = {0x3A0C7E55, 0x92B1, 0x4D6E, {0x8F, 0x04, 0x61, 0xDA, 0x2B, 0x97, 0xC3, 0x18}};
constexpr IID kPackImplementation = {0x3A0C7E56, 0x92B1, 0x4D6E, {0x8F, 0x04, 0x61, 0xDA, 0x2B, 0x97, 0xC3, 0x18}};

// No layout declares this name; the taskbar's plain cover is what its callers mean.
constexpr wchar_t kUndeclaredCoverName[] = L"IDI_PNG_COVER_NORMAL";
constexpr wchar_t kTaskbarCoverName[] = L"IDI_TASKBAR_COVER_NORMAL";

const wchar_t* const kPieceNames[9] = {L"left_top",    L"center_top",    L"right_top",
                                       L"left_center", L"center_center", L"right_center",
                                       L"left_bottom", L"center_bottom", L"right_bottom"};

std::optional<NinePart> ReadParts(const XmlElement& image)
{
    const XmlElement* parts = image.Child(L"image_parts");
    if (!parts) {
        return std::nullopt;
    }
    NinePart result{};
    for (int index = 0; index < 9; ++index) {
        const XmlElement* piece = parts->Child(kPieceNames[index]);
        long long left = 0, top = 0, width = 0, height = 0;
        if (!piece || !ParseNumber(piece->AttributeOr(L"left", L""), left) ||
            !ParseNumber(piece->AttributeOr(L"top", L""), top) ||
            !ParseNumber(piece->AttributeOr(L"width", L""), width) ||
            !ParseNumber(piece->AttributeOr(L"height", L""), height) || width < 0 || height < 0) {
            return std::nullopt;  // a broken piece list draws the picture whole
        }
        result.pieces[index] = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + width),
                                static_cast<LONG>(top + height)};
    }
    return result;
}

bool IsImageName(const std::wstring& name) noexcept
{
    return name.rfind(L"IDI_", 0) == 0;
}

}  // namespace

bool EnsureGdiplus() noexcept
{
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

Image::Image(std::wstring name, std::shared_ptr<Picture> picture, std::optional<NinePart> parts)
    : m_name(std::move(name)), m_picture(std::move(picture)), m_parts(parts)
{
}

HRESULT Image::QueryInterface(REFIID iid, void** out)
{
    if (out && IsEqualIID(iid, kImageImplementation)) {
        *out = this;  // no reference: only ImageFrom asks, and it borrows
        return S_OK;
    }
    return AnswerInterface(static_cast<vorrelUI::Ivorrel_image*>(this), iid,
                           {&IID_IUnknown, &vorrelUI::IID_Ivorrel_image}, out);
}

HRESULT Image::GetSize(SIZE* size)
{
    if (!size) {
        return E_POINTER;
    }
    *size = SIZE{};
    const bool decodes = m_picture->With([size](Gdiplus::Bitmap& bitmap) {
        *size = {static_cast<LONG>(bitmap.GetWidth()), static_cast<LONG>(bitmap.GetHeight())};
    });
    return decodes ? S_OK : HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
}

bool Image::Decodes() const
{
    return m_picture->With([](Gdiplus::Bitmap&) {});
}

HRESULT Image::GetName(LPWSTR buffer, UINT capacity)
{
    return CopyOut(m_name, buffer, capacity);
}

HRESULT Image::Draw(HDC hdc, const RECT* target)
{
    if (!hdc || !target) {
        return E_POINTER;
    }
    if (!Decodes()) {
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    }
    Gdiplus::Graphics graphics(hdc);
    Paint(graphics, *target);
    return S_OK;
}

void Image::Paint(Gdiplus::Graphics& graphics, const RECT& target, int frame, int frames) const
{
    static_cast<void>(
        m_picture->With([&](Gdiplus::Bitmap& bitmap) { PaintBitmap(bitmap, graphics, target, frame, frames); }));
}

void Image::PaintBitmap(Gdiplus::Bitmap& bitmap, Gdiplus::Graphics& graphics, const RECT& target, int frame,
                        int frames) const
{
    const int frameWidth = static_cast<int>(bitmap.GetWidth()) / (frames > 0 ? frames : 1);
    const int height = static_cast<int>(bitmap.GetHeight());
    auto draw = [&](const RECT& to, const RECT& from) {
        if (to.right <= to.left || to.bottom <= to.top || from.right <= from.left || from.bottom <= from.top) {
            return;
        }
        graphics.DrawImage(&bitmap, Gdiplus::Rect(to.left, to.top, to.right - to.left, to.bottom - to.top), from.left,
                           from.top, from.right - from.left, from.bottom - from.top, Gdiplus::UnitPixel);
    };
    if (!m_parts) {
        draw(target, RECT{frame * frameWidth, 0, (frame + 1) * frameWidth, height});
        return;
    }
    const RECT* p = m_parts->pieces;
    const int leftWidth = p[0].right - p[0].left, rightWidth = p[2].right - p[2].left;
    const int topHeight = p[0].bottom - p[0].top, bottomHeight = p[6].bottom - p[6].top;
    const LONG xs[4] = {target.left, target.left + leftWidth, target.right - rightWidth, target.right};
    const LONG ys[4] = {target.top, target.top + topHeight, target.bottom - bottomHeight, target.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            draw(RECT{xs[column], ys[row], xs[column + 1], ys[row + 1]}, p[row * 3 + column]);
        }
    }
}

Image* ImageFrom(vorrelUI::Ivorrel_image* image) noexcept
{
    void* found = nullptr;
    if (!image || FAILED(image->QueryInterface(kImageImplementation, &found))) {
        return nullptr;
    }
    return static_cast<Image*>(found);
}

std::optional<std::string> ReadRelativeSkinFile(const std::wstring& fileWritingIt, const std::wstring& relative,
                                                std::wstring* servedAs)
{
    const std::wstring folder = ParentFolder(fileWritingIt);
    for (const std::wstring& base : {folder, ParentFolder(folder)}) {
        std::wstring path = JoinPath(base, relative);
        if (auto bytes = ReadSkinFile(path)) {
            if (servedAs) {
                *servedAs = std::move(path);
            }
            return bytes;
        }
    }
    return std::nullopt;
}

HRESULT ResourcePack::QueryInterface(REFIID iid, void** out)
{
    if (out && IsEqualIID(iid, kPackImplementation)) {
        *out = this;  // no reference: only AddPack asks, and it takes its own
        return S_OK;
    }
    return AnswerInterface(static_cast<vorrelUI::Ivorrel_respack*>(this), iid,
                           {&IID_IUnknown, &vorrelUI::IID_Ivorrel_respack}, out);
}

HRESULT ResourcePack::GetPath(LPWSTR buffer, UINT capacity)
{
    std::lock_guard guard(m_lock);
    return CopyOut(m_path, buffer, capacity);
}

HRESULT ResourcePack::GetImageCount(UINT* count)
{
    if (!count) {
        return E_POINTER;
    }
    std::lock_guard guard(m_lock);
    *count = static_cast<UINT>(m_entries.size());
    return S_OK;
}

HRESULT ResourcePack::Load(UINT, LPCWSTR xmlPath)
{
    if (!xmlPath || !*xmlPath) {
        return E_INVALIDARG;
    }
    auto bytes = ReadSkinFile(xmlPath);
    if (!bytes) {
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    long hr = S_OK;
    auto config = ParseXml(*bytes, &hr);
    if (!config) {
        return FAILED(hr) ? hr : E_FAIL;
    }
    LoadFrom(*config, xmlPath);
    return S_OK;
}

void ResourcePack::LoadFrom(const XmlElement& config, const std::wstring& xmlPath)
{
    std::lock_guard guard(m_lock);
    m_path = xmlPath;
    const XmlElement* resources = config.Child(L"resources");
    const XmlElement* images = resources ? resources->Child(L"images") : nullptr;
    if (!images) {
        return;
    }
    for (const auto& image : images->children) {
        const std::wstring* id = image->Attribute(L"id");
        const std::wstring* path = image->Attribute(L"path");
        if (image->name != L"image" || !id || !path || id->empty()) {
            continue;
        }
        m_entries.push_back(Entry{*id, *path, ReadParts(*image), nullptr, false});
    }
}

veyra::ComPtr<Image> ResourcePack::ReadLocked(Entry& entry)
{
    if (!entry.tried) {
        entry.tried = true;
        std::wstring servedAs;
        if (auto bytes = ReadRelativeSkinFile(m_path, entry.path, &servedAs)) {
            try {
                entry.image = veyra::ComPtr<Image>::Adopt(
                    new Image(entry.name, Picture::Share(servedAs, std::move(*bytes)), entry.parts));
            } catch (...) {
            }
        }
    }
    return entry.image;
}

veyra::ComPtr<Image> ResourcePack::Find(const std::wstring& name)
{
    std::lock_guard guard(m_lock);
    for (Entry& entry : m_entries) {
        if (entry.name == name) {
            return ReadLocked(entry);
        }
    }
    if (IsImageName(name) || m_path.empty()) {
        return nullptr;
    }
    // A picture named by its path: an entry of its own, named by the path.
    for (Entry& entry : m_entries) {
        if (NormaliseEntryName(entry.path) == NormaliseEntryName(name)) {
            return ReadLocked(entry);
        }
    }
    m_entries.push_back(Entry{name, name, std::nullopt, nullptr, false});
    return ReadLocked(m_entries.back());
}

HRESULT ResourcePack::GetImage(LPCWSTR name, vorrelUI::Ivorrel_image** image)
{
    if (!image) {
        return E_POINTER;
    }
    *image = nullptr;
    if (!name) {
        return E_INVALIDARG;
    }
    // This pack first, then the registered packs in their order (with the cover alias).
    veyra::ComPtr<Image> found = ResourceRegistry::Instance().Lookup(name, this);
    if (!found) {
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    *image = found.detach();
    return S_OK;
}

ResourceRegistry& ResourceRegistry::Instance()
{
    static ResourceRegistry* registry = new ResourceRegistry;  // the engine's, for the life of the process
    return *registry;
}

HRESULT ResourceRegistry::QueryInterface(REFIID iid, void** out)
{
    return AnswerInterface(static_cast<vorrelUI::Ivorrel_resregistry*>(this), iid,
                           {&IID_IUnknown, &vorrelUI::IID_Ivorrel_resregistry}, out);
}

HRESULT ResourceRegistry::GetPackCount(UINT* count)
{
    if (!count) {
        return E_POINTER;
    }
    std::lock_guard guard(m_lock);
    *count = static_cast<UINT>(m_packs.size());
    return S_OK;
}

HRESULT ResourceRegistry::GetPack(UINT index, vorrelUI::Ivorrel_respack** pack)
{
    if (!pack) {
        return E_POINTER;
    }
    std::lock_guard guard(m_lock);
    *pack = nullptr;
    if (index >= m_packs.size()) {
        return E_INVALIDARG;
    }
    *pack = veyra::ComPtr<ResourcePack>(m_packs[index]).detach();
    return S_OK;
}

HRESULT ResourceRegistry::FindImage(LPCWSTR name, vorrelUI::Ivorrel_image** image)
{
    if (!image) {
        return E_POINTER;
    }
    *image = nullptr;
    veyra::ComPtr<Image> found = name ? Lookup(name, nullptr) : nullptr;
    if (!found) {
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    *image = found.detach();
    return S_OK;
}

HRESULT ResourceRegistry::AddPack(UINT, vorrelUI::Ivorrel_respack* pack)
{
    void* ours = nullptr;
    // Only packs of this library can be searched; they are the only ones a caller can make.
    if (!pack || FAILED(pack->QueryInterface(kPackImplementation, &ours))) {
        return E_INVALIDARG;
    }
    auto adopted = veyra::ComPtr<ResourcePack>::Copy(static_cast<ResourcePack*>(ours));
    std::lock_guard guard(m_lock);
    for (const auto& known : m_packs) {
        if (known.get() == adopted.get()) {
            return S_FALSE;
        }
    }
    try {
        m_packs.push_back(std::move(adopted));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

veyra::ComPtr<Image> ResourceRegistry::Lookup(const std::wstring& name, ResourcePack* first)
{
    const std::wstring wanted = name == kUndeclaredCoverName ? kTaskbarCoverName : name;
    if (first) {
        if (auto found = first->Find(wanted)) {
            return found;
        }
    }
    std::vector<veyra::ComPtr<ResourcePack>> packs;
    {
        std::lock_guard guard(m_lock);
        packs = m_packs;
    }
    for (const auto& pack : packs) {
        if (pack.get() != first && IsImageName(wanted)) {
            if (auto found = pack->Find(wanted)) {
                return found;
            }
        }
    }
    return nullptr;
}

}  // namespace vorrel
