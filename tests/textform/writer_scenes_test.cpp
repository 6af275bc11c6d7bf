// Scenes written with the writer library: every one must come back byte for
// byte through the text, as text only (no raw block), and the text must be
// canonical (disassembling the assembled file gives the same text).
#include <dirent.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qmv/textform/file_io.h"
#include "qmv/writer.h"
#include "roundtrip_support.h"
#include "scene_generator.h"

namespace qmv::test {
namespace {

void expectTextOnlyRoundTrip(const std::vector<uint8_t>& bytes, const std::string& what) {
    const RoundTrip trip = roundTrip(bytes);
    ASSERT_EQ(trip.problem, "") << what << "\n" << trip.text;
    EXPECT_FALSE(hasRawBlock(trip.text)) << what << "\n" << trip.text;
    EXPECT_TRUE(trip.bytes == bytes) << what << "\n" << trip.text;
    EXPECT_EQ(textform::disassembleBytes(trip.bytes), trip.text) << what;
}

// The command names a text uses (first word of each non-comment line).
void collectNames(const std::string& text, std::set<std::string>& names) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        const size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos && line[first] != '#') {
            const size_t stop = line.find_first_of(" [", first);
            names.insert(
                line.substr(first, stop == std::string::npos ? std::string::npos : stop - first));
        }
        pos = end + 1;
    }
}

TEST(TextWriterScenes, ThousandRandomScenesComeBackByteForByte) {
    std::set<std::string> names;
    for (uint64_t seed = 1; seed <= 1000; ++seed) {
        const GeneratedScene scene = generateScene(seed);
        ASSERT_EQ(scene.error, "") << "seed " << seed;
        const RoundTrip trip = roundTrip(scene.bytes);
        ASSERT_EQ(trip.problem, "") << "seed " << seed << "\n" << trip.text;
        ASSERT_FALSE(hasRawBlock(trip.text)) << "seed " << seed << "\n" << trip.text;
        ASSERT_TRUE(trip.bytes == scene.bytes) << "seed " << seed << "\n" << trip.text;
        ASSERT_EQ(textform::disassembleBytes(trip.bytes), trip.text) << "seed " << seed;
        collectNames(trip.text, names);
    }
    // The generator reaches every command of the format.
    for (int opcode = 0; opcode < 256; ++opcode) {
        if (opcodeClass(opcode) == OpcodeClass::None) continue;
        std::string name = opcodeName(opcode);
        name.erase(0, 5);
        EXPECT_TRUE(names.count(name)) << name << " never generated";
    }
}

// The example scenes the build writes, when they are there.
TEST(TextExampleScenes, ComeBackByteForByte) {
    const std::string folder = QMV_EXAMPLES_DIR;
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.ends_with(".qmv") || name.ends_with(".qmvz"))
                files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    if (files.empty()) GTEST_SKIP() << "no example scenes in " << folder;
    for (const std::string& file : files) {
        std::vector<uint8_t> bytes;
        std::string why;
        ASSERT_TRUE(textform::readSceneFile(file, bytes, why)) << file << ": " << why;
        expectTextOnlyRoundTrip(bytes, file);
    }
}

}  // namespace
}  // namespace qmv::test
