#pragma once
// A reference-counted holder of image data shared between copies of a picture. The count is
// a plain counter: pictures live on one thread.
#include <cstdint>
#include <utility>

namespace nimbrel {

class TSharedImage {
public:
    TSharedImage() = default;
    TSharedImage(const TSharedImage&) = delete;
    TSharedImage& operator=(const TSharedImage&) = delete;

    void Reference() { ++refCount_; }
    // Drops one reference; the last one frees the handle and destroys the holder.
    void Release() {
        if (--refCount_ == 0) {
            FreeHandle();
            delete this;
        }
    }
    std::int32_t RefCount() const { return refCount_; }

protected:
    virtual ~TSharedImage() = default;
    virtual void FreeHandle() = 0;

private:
    std::int32_t refCount_ = 0;
};

// Holds one reference to a shared holder for as long as it lives.
template <class T> class TSharedRef {
public:
    TSharedRef() = default;
    // Takes a new holder and adds the first reference.
    explicit TSharedRef(T* image) : image_(image) {
        if (image_)
            image_->Reference();
    }
    TSharedRef(const TSharedRef& other) : TSharedRef(other.image_) {}
    TSharedRef(TSharedRef&& other) noexcept : image_(std::exchange(other.image_, nullptr)) {}
    TSharedRef& operator=(TSharedRef other) noexcept {
        std::swap(image_, other.image_);
        return *this;
    }
    ~TSharedRef() {
        if (image_)
            image_->Release();
    }

    T* get() const { return image_; }
    T* operator->() const { return image_; }
    T& operator*() const { return *image_; }
    friend bool operator==(const TSharedRef& a, const TSharedRef& b) {
        return a.image_ == b.image_;
    }

private:
    T* image_ = nullptr;
};

} // namespace nimbrel
