#pragma once
// The bytes of one picture file and, from its first use, its decoded bitmap. Layouts name pictures that
// are not shown yet (hover covers, the other state of a button), and a decode costs about a millisecond
// for the smallest file under Wine (tens for the desktop's background), so nothing is decoded until a
// control paints or measures it. Every image made from the same file with the same bytes shares one
// picture (Share), so a picture is decoded once however many packs and controls name it; the images hold
// it by counted references and it goes with the last of them. Any thread: the decode and every use of
// the bitmap run under the picture's lock, as GDI+ refuses one bitmap used by two threads at once.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <mutex>
#include <string>

namespace vorrel {

class Picture {
public:
    explicit Picture(std::string encoded) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The picture of the file at `path` with these bytes that an image already holds, or a new one (also
    // when the file changed since).
    static std::shared_ptr<Picture> Share(const std::wstring& path, std::string encoded);

    // Runs `use` with the bitmap, decoding it first on the first call; false (and `use` not run) when the
    // bytes are no picture, which is found out once.
    template <typename Use>
    bool With(Use&& use)
    {
        std::lock_guard guard(m_lock);
        Gdiplus::Bitmap* bitmap = DecodedLocked();
        if (!bitmap) {
            return false;
        }
        use(*bitmap);
        return true;
    }
    // Whether the bytes have been decoded (or found to be no picture).
    [[nodiscard]] bool Tried() const;

private:
    Gdiplus::Bitmap* DecodedLocked();

    mutable std::mutex m_lock;
    std::string m_encoded;  // until the decode, which lets go of it
    unsigned long long m_fingerprint = 0;
    size_t m_length = 0;
    bool m_tried = false;
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
};

}  // namespace vorrel
