#include "card_image.h"

#include "card_library.h"

#include <utility>

CardImage::CardImage(CardImage &&other) noexcept
    : library_(std::exchange(other.library_, nullptr)), handle_(std::exchange(other.handle_, nullptr))
{
}

CardImage &CardImage::operator=(CardImage &&other) noexcept
{
    if (this != &other) {
        reset();
        library_ = std::exchange(other.library_, nullptr);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void CardImage::reset()
{
    if (handle_ && library_)
        library_->globalFree(handle_);
    handle_ = nullptr;
}

void CardImage::adopt(CardLibrary &library, ZulHandle handle)
{
    reset();
    library_ = &library;
    handle_ = handle;
}

ZulHandle *CardImage::receive(CardLibrary &library)
{
    reset();
    library_ = &library;
    return &handle_;
}
