// Any file at all comes back byte for byte through the text, so the reader
// reports the same events for both: random bytes, random bytes behind a
// valid header, and damaged scenes (bytes changed, cut short, inserted).
#include <gtest/gtest.h>

#include "event_stream.h"
#include "roundtrip_support.h"
#include "scene_generator.h"

namespace qmv::test {
namespace {

class Bytes {
public:
    explicit Bytes(uint64_t seed) : state_(seed * 0x2545F4914F6CDD1Dull + 1) {}
    uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    size_t below(size_t n) { return static_cast<size_t>(next() % n); }
    uint8_t byte() { return static_cast<uint8_t>(next()); }

private:
    uint64_t state_;
};

// A header the reader accepts, with random point sizes (valid or not).
std::vector<uint8_t> validHeader(Bytes& random) {
    std::vector<uint8_t> bytes = {'Q',  'M',           'V',           0x98,
                                  0xE1, random.byte(), random.byte(), random.byte()};
    constexpr uint8_t kAbs[] = {16, 24, 32, 64, 128, 17, 200};
    constexpr uint8_t kRel[] = {3, 6, 8, 16, 24, 32, 64, 128, 0, 7};
    const uint8_t abs = kAbs[random.below(sizeof kAbs)];
    bytes.push_back(abs);
    bytes.push_back(kRel[random.below(sizeof kRel)]);
    const size_t pointBytes = abs == 16    ? 2
                              : abs == 24  ? 3
                              : abs == 32  ? 4
                              : abs == 64  ? 8
                              : abs == 128 ? 16
                                           : 0;
    for (size_t i = 0; i < 4 * pointBytes + 3; ++i) bytes.push_back(random.byte());
    return bytes;
}

// Opcodes the walk accepts are more likely than in plain random bytes.
uint8_t plausibleByte(Bytes& random) {
    constexpr uint8_t kOpcodes[] = {0x01, 0x02, 0x10, 0x12, 0x13, 0x15, 0x17, 0x19,
                                    0x31, 0x33, 0x39, 0x3B, 0x3C, 0x3E, 0x55, 0x56,
                                    0x5D, 0x5F, 0x6C, 0x6D, 0x6F, 0x70};
    return random.below(3) == 0 ? kOpcodes[random.below(sizeof kOpcodes)] : random.byte();
}

void expectSameFile(const std::vector<uint8_t>& bytes, const std::string& what, bool events) {
    const RoundTrip trip = roundTrip(bytes);
    ASSERT_EQ(trip.problem, "") << what << "\n" << trip.text;
    ASSERT_TRUE(trip.bytes == bytes) << what << "\n" << trip.text;
    if (events) {
        EXPECT_EQ(readerEvents(trip.bytes), readerEvents(bytes)) << what;
    }
}

TEST(TextAnyBytes, ThousandRandomByteStringsComeBackWithTheirEvents) {
    int withText = 0;
    for (uint64_t seed = 1; seed <= 1000; ++seed) {
        Bytes random(seed);
        std::vector<uint8_t> bytes;
        if (seed % 2 == 0) bytes = validHeader(random);
        const size_t length = random.below(120);
        for (size_t i = 0; i < length; ++i) {
            bytes.push_back(seed % 2 == 0 ? plausibleByte(random) : random.byte());
        }
        expectSameFile(bytes, "seed " + std::to_string(seed), true);
        if (seed % 2 == 0 && textform::disassembleBytes(bytes).starts_with("Header\n")) ++withText;
    }
    // The valid headers are understood, not just kept as raw bytes.
    EXPECT_GT(withText, 400);
}

TEST(TextAnyBytes, DamagedScenesComeBack) {
    int partlyText = 0;
    for (uint64_t seed = 1; seed <= 400; ++seed) {
        Bytes random(seed);
        std::vector<uint8_t> bytes = generateScene(seed + 5000).bytes;
        switch (seed % 4) {
        case 0:
            bytes.resize(random.below(bytes.size() + 1));
            break;
        case 1:
            for (int i = 0; i < 3; ++i) bytes[random.below(bytes.size())] = random.byte();
            break;
        case 2:
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(random.below(bytes.size())),
                         random.byte());
            break;
        default:
            bytes[29 + random.below(bytes.size() - 29)] ^=
                static_cast<uint8_t>(1u << random.below(8));
            break;
        }
        expectSameFile(bytes, "seed " + std::to_string(seed), seed % 8 == 0);
        const std::string text = textform::disassembleBytes(bytes);
        if (hasRawBlock(text) && text.find("\nLayer ") != std::string::npos) ++partlyText;
    }
    // Damage late in a file leaves the commands before it as text.
    EXPECT_GT(partlyText, 50);
}

}  // namespace
}  // namespace qmv::test
