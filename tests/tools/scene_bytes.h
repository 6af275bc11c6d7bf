// Test support: scene files written byte by byte, so the tool's tests do not
// depend on a writer. Only the encodings the tests use are here, in their
// default sizes (absolute points 32 bits, relative points 24 bits, colours as
// three bytes).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace qmv::test {

class SceneBytes {
public:
    // The 29-byte header with absolute point size 32 and relative size 24.
    static SceneBytes withHeader() {
        SceneBytes s;
        s.raw({'Q', 'M', 'V', 0x98, 0xE1, /*reserved*/ 0, /*version*/ 1, /*release*/ 0, 32, 24});
        s.abs16(1, 1);      // resolution
        s.abs16(0, 0);      // lower left
        s.abs16(100, 100);  // upper right
        s.abs16(1, 1);      // mm
        s.raw({0xFF, 0x80, 0x00});  // background
        return s;
    }

    SceneBytes& raw(std::initializer_list<int> values) {
        for (int v : values) bytes_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    SceneBytes& raw(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }

    // An absolute point of 32 bits: two big-endian 16-bit numbers.
    SceneBytes& abs16(int x, int y) {
        return raw({(x >> 8) & 0xFF, x & 0xFF, (y >> 8) & 0xFF, y & 0xFF});
    }
    // An absolute point of 128 bits: two big-endian doubles.
    SceneBytes& absDouble(double x, double y) {
        for (double v : {x, y}) {
            uint64_t bits = 0;
            std::memcpy(&bits, &v, sizeof bits);
            for (int shift = 56; shift >= 0; shift -= 8) raw({static_cast<int>((bits >> shift) & 0xFF)});
        }
        return *this;
    }
    // A relative point of 24 bits: two 12-bit two's-complement numbers.
    SceneBytes& rel12(int x, int y) {
        const int ux = x & 0xFFF;
        const int uy = y & 0xFFF;
        return raw({ux >> 4, ((ux & 0xF) << 4) | (uy >> 8), uy & 0xFF});
    }
    // A length-prefixed string (one-byte length, so below 128 bytes).
    SceneBytes& string(const std::string& text) {
        raw({static_cast<int>(text.size())});
        return raw(text);
    }

    SceneBytes& layer(int flags, const std::string& name) {
        raw({0x01, flags});
        return string(name);
    }
    SceneBytes& line(int x, int y, int dx, int dy) {
        raw({0x31});
        abs16(x, y);
        return rel12(dx, dy);
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace qmv::test
