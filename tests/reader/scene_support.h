// Test support: a scene written with the writer, stored in a temporary file
// and read back with the event log as client.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event_log.h"
#include "qmv/writer/scene_writer.h"
#include "temp_file.h"

namespace qmv::test {

// A header with 32-bit absolute and 24-bit relative points, bounds 0..100.
inline SceneHeader plainHeader() {
    SceneHeader h;
    h.upperRight = {100, 100};
    return h;
}

struct Parsed {
    std::string error;  // "" when the parse succeeded
    std::vector<std::string> events;
};

inline Parsed parseBytes(const std::vector<uint8_t>& bytes, int callbacksEnabled = 1,
                         EventLog* useLog = nullptr) {
    TempFile file(bytes);
    EventLog local;
    EventLog& log = useLog != nullptr ? *useLog : local;
    Parsed parsed;
    parsed.error = parseWithLog(file.path(), log, callbacksEnabled);
    parsed.events = log.events;
    return parsed;
}

// Parses what the writer wrote; the writer must have met no problem.
inline Parsed parseScene(const SceneWriter& w, int callbacksEnabled = 1, EventLog* log = nullptr) {
    EXPECT_TRUE(w.ok()) << w.error();
    return parseBytes(w.bytes(), callbacksEnabled, log);
}

using ::testing::ElementsAre;
using ::testing::IsEmpty;

}  // namespace qmv::test
