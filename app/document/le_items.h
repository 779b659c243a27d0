// Little-endian 4-byte items and bytes, as the project file holds them: one
// writer and one reader for the main records and for every tagged block.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace wf::doc {

class ItemWriter {
public:
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
    void byte(unsigned char b) { bytes_.push_back(static_cast<char>(b)); }
    void text(std::string_view s) { bytes_.append(s); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads items while bytes remain; an item cut off by the end is not read
// (false) and the reader stands at the end.
class ItemReader {
public:
    explicit ItemReader(std::string_view bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::size_t position() const { return pos_; }
    bool u32(uint32_t& v) {
        if (bytes_.size() - pos_ < 4) {
            pos_ = bytes_.size();
            return false;
        }
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool i32(int32_t& v) {
        uint32_t u;
        if (!u32(u)) return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool f32(float& v) {
        uint32_t u;
        if (!u32(u)) return false;
        v = std::bit_cast<float>(u);
        return true;
    }
    bool byte(unsigned char& b) {
        if (atEnd()) return false;
        b = static_cast<unsigned char>(bytes_[pos_++]);
        return true;
    }
    // Up to n bytes, fewer when the bytes end first.
    std::string text(std::size_t n) {
        const std::size_t take = std::min(n, bytes_.size() - pos_);
        std::string s(bytes_.substr(pos_, take));
        pos_ += take;
        return s;
    }
    // Everything not read yet.
    std::string_view rest() const { return bytes_.substr(std::min(pos_, bytes_.size())); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

} // namespace wf::doc
