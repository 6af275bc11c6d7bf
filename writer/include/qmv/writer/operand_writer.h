// Writes one operand at a time in an encoding named by the caller: points of
// every size, SIZE numbers, strings, colours and palette indices. It knows
// nothing of the scene's current sizes; SceneWriter passes them in. Values
// that an encoding cannot hold are recorded as errors naming the command and
// the operand, and zeros of the right width are written in their place so
// that the layout of the rest stays as intended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "qmv/scene_types.h"
#include "qmv/writer/bit_writer.h"
#include "qmv/writer/error_log.h"

namespace qmv {

inline constexpr int64_t kMaxSize = 4194303;  // 22 bits
inline constexpr int64_t kMinSignedSize = -2097152;
inline constexpr int64_t kMaxSignedSize = 2097151;

// The layout of a SIZE or signed SIZE: the shortest that holds the value, or a
// fixed number of bytes (files that probe a reader use the longer forms).
enum class SizeForm { Shortest = 0, OneByte = 1, TwoBytes = 2, ThreeBytes = 3 };

class OperandWriter {
public:
    OperandWriter(BitWriter& bits, ErrorLog& errors) : bits_(bits), errors_(errors) {}

    // Names what the following operands belong to ("QMVR_Line at byte 40").
    void setCommand(std::string command) { command_ = std::move(command); }

    // A whole byte, 0 to 255.
    void byte(int64_t value, std::string_view operand);
    // An unsigned big-endian 16-bit number, 0 to 65535.
    void u16(int64_t value, std::string_view operand);

    // x then y in a point of `sizeBits` bits (3, 6, 8, 16, 24, 32, 64, 128).
    // The integral sizes take whole numbers in their range only; 64 bits
    // round each coordinate to the nearest float.
    void point(Point p, int sizeBits, std::string_view operand);
    // Relative steps one after the other, then the byte frontier.
    void stepList(std::span<const Point> steps, int sizeBits, std::string_view operand);

    void size(int64_t value, std::string_view operand, SizeForm form = SizeForm::Shortest);
    void signedSize(int64_t value, std::string_view operand, SizeForm form = SizeForm::Shortest);
    // A SIZE length and the bytes as they are; the empty text is length 0.
    void string(std::string_view text, std::string_view operand);

    // A colour in colour size 0 to 7, not followed by alignment. Sizes 0 and
    // 1 write the index of the first palette entry equal to `color`.
    void color(const Color& color, int colorSize, std::span<const Color> palette,
               std::string_view operand);
    // A palette index in colour size 0 (one bit) or 1 (one byte), checked
    // against `paletteCount` entries.
    void paletteIndex(int64_t index, int colorSize, size_t paletteCount, std::string_view operand);

    void align() { bits_.alignToByte(); }

    // Records "<command>: <operand>: <problem>" ("<command>: <problem>" for an
    // empty operand).
    void fail(std::string_view operand, std::string_view problem);

private:
    void putByte(uint8_t value, std::string_view operand);
    void put12(int64_t value, std::string_view operand);
    void put16(uint16_t value, std::string_view operand);
    void putGreyLevel(int64_t level, int colorSize, std::string_view operand);

    BitWriter& bits_;
    ErrorLog& errors_;
    std::string command_;
};

// The text a message shows for a number or a point: the shortest form that
// reads back as the same double.
std::string formatNumber(double value);
std::string formatPoint(Point p);

}  // namespace qmv
