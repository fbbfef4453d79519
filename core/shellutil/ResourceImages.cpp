#include "core/shellutil/ResourceImages.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "core/shellutil/ImageConvert.h"

namespace veyra {

ImagePtr LoadPngResource(int id, HMODULE module) noexcept
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (!bytes || size == 0) {
        return nullptr;
    }
    // The stream owns a copy of its own: CreateStreamOnHGlobal needs movable memory.
    UniqueGlobal copy(GlobalAlloc(GMEM_MOVEABLE, size));
    void* target = copy ? GlobalLock(copy.get()) : nullptr;
    if (!target) {
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy.get());
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy.get(), TRUE, stream.put()))) {
        return nullptr;
    }
    static_cast<void>(copy.release());  // the stream frees it now
    try {
        std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.get()));
        if (!image || image->GetLastStatus() != Gdiplus::Ok) {
            return nullptr;
        }
        // GDI+ decodes lazily from the stream: a copy holds the pixels once the stream is gone.
        return PremultipliedCopy(*image);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int GetEncoderClsid(const wchar_t* mimeType, CLSID* classId) noexcept
{
    UINT count = 0;
    UINT bytes = 0;
    if (!mimeType || !classId || Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok ||
        bytes == 0) {
        return -1;
    }
    try {
        std::vector<BYTE> buffer(bytes);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        if (Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) {
            return -1;
        }
        for (UINT index = 0; index < count; ++index) {
            if (encoders[index].MimeType && std::wcscmp(encoders[index].MimeType, mimeType) == 0) {
                *classId = encoders[index].Clsid;
                return static_cast<int>(index);
            }
        }
    } catch (const std::bad_alloc&) {
    }
    return -1;
}

}  // namespace veyra
