#include "Picture.h"

#include <shlwapi.h>
#include <wincodec.h>

#include <map>

#include "base/ComPtr.h"
#include "suite/vorrel/Resources.h"
#include "suite/vorrel/SkinFiles.h"

namespace vorrel {

namespace {

constexpr UINT kMaxSide = 16384;  // no skin picture comes near it; keeps the pixel buffer's size in range

unsigned long long Fingerprint(const std::string& bytes) noexcept
{
    unsigned long long hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

// The pictures held by some image, by their file's normalised path.
struct ShareIndex {
    std::mutex lock;
    std::map<std::wstring, std::weak_ptr<Picture>> pictures;
};

ShareIndex& Index()
{
    static ShareIndex* index = new ShareIndex;  // lives until the process ends
    return *index;
}

// Straight into a premultiplied bitmap of our own through the system's codecs: one conversion, where
// reading through GDI+ converts once to its own bitmap and again when that is drawn into ours. Needs COM
// on this thread; nullptr without it or for bytes that are no picture.
std::unique_ptr<Gdiplus::Bitmap> DecodeWithCodecs(const std::string& bytes)
{
    veyra::ComPtr<IWICImagingFactory> factory;
    veyra::ComPtr<IWICStream> stream;
    veyra::ComPtr<IWICBitmapDecoder> decoder;
    veyra::ComPtr<IWICBitmapFrameDecode> frame;
    veyra::ComPtr<IWICBitmapSource> converted;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.put_void())) ||
        FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                            static_cast<DWORD>(bytes.size()))) ||
        FAILED(
            factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.get(), converted.put())) ||
        FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide ||
        height > kMaxSide) {
        return nullptr;
    }
    auto bitmap =
        std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppPARGB);
    Gdiplus::BitmapData pixels{};
    Gdiplus::Rect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (bitmap->GetLastStatus() != Gdiplus::Ok ||
        bitmap->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &pixels) != Gdiplus::Ok) {
        return nullptr;
    }
    const UINT stride = static_cast<UINT>(pixels.Stride);
    const HRESULT hr = converted->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels.Scan0));
    bitmap->UnlockBits(&pixels);
    return SUCCEEDED(hr) ? std::move(bitmap) : nullptr;
}

// Through GDI+'s own reading, for a thread without COM.
std::unique_ptr<Gdiplus::Bitmap> DecodeWithGdiplus(const std::string& bytes)
{
    veyra::ComPtr<IStream> stream = veyra::ComPtr<IStream>::Adopt(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    if (!stream) {
        return nullptr;
    }
    // GDI+ decodes lazily from its stream (Wine too): copy into a bitmap of our own so the stream can go.
    Gdiplus::Bitmap source(stream.get());
    if (source.GetLastStatus() != Gdiplus::Ok || source.GetWidth() == 0 || source.GetHeight() == 0) {
        return nullptr;
    }
    auto copy = std::make_unique<Gdiplus::Bitmap>(source.GetWidth(), source.GetHeight(), PixelFormat32bppPARGB);
    if (copy->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    Gdiplus::Graphics graphics(copy.get());
    graphics.DrawImage(&source, 0, 0, source.GetWidth(), source.GetHeight());
    return copy;
}

}  // namespace

Picture::Picture(std::string encoded) noexcept
    : m_encoded(std::move(encoded)), m_fingerprint(Fingerprint(m_encoded)), m_length(m_encoded.size())
{
}

std::shared_ptr<Picture> Picture::Share(const std::wstring& path, std::string encoded)
{
    const std::wstring key = NormaliseEntryName(path);
    ShareIndex& index = Index();
    std::lock_guard guard(index.lock);
    std::weak_ptr<Picture>& slot = index.pictures[key];
    std::shared_ptr<Picture> held = slot.lock();
    if (held && held->m_length == encoded.size() && held->m_fingerprint == Fingerprint(encoded)) {
        return held;
    }
    auto made = std::make_shared<Picture>(std::move(encoded));
    slot = made;
    return made;
}

bool Picture::Tried() const
{
    std::lock_guard guard(m_lock);
    return m_tried;
}

Gdiplus::Bitmap* Picture::DecodedLocked()
{
    if (!m_tried) {
        m_tried = true;
        if (EnsureGdiplus() && !m_encoded.empty()) {
            try {
                m_bitmap = DecodeWithCodecs(m_encoded);
                if (!m_bitmap) {
                    m_bitmap = DecodeWithGdiplus(m_encoded);
                }
            } catch (const std::bad_alloc&) {
                m_bitmap.reset();  // drawn as no picture
            }
        }
        std::string().swap(m_encoded);
    }
    return m_bitmap.get();
}

}  // namespace vorrel
