// A text copied into a heap block of exactly its length, with no NUL after it,
// so that AddressSanitizer catches any read past the datagram's end.
#pragma once

#include <cstring>
#include <memory>
#include <string_view>

class ExactBuffer {
  public:
    explicit ExactBuffer(std::string_view text)
        : size_(text.size()), bytes_(new char[text.size() ? text.size() : 1]) {
        std::memcpy(bytes_.get(), text.data(), text.size());
    }
    std::string_view view() const { return {bytes_.get(), size_}; }
    const char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }

  private:
    std::size_t size_;
    std::unique_ptr<char[]> bytes_;
};
