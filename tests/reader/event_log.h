// Test support: a client that registers every callback slot and records each
// event as one line of text ("line 10 10 1 0"), so that scene tests read as
// the events they expect.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "qmv/reader.h"

namespace qmv::test {

struct EventLog {
    std::vector<std::string> events;
    // Results to return: slot -> value (default 1; QMVR_setImage keeps 2).
    int failSlot = -1;  // this slot returns -4
    int failOnCall = 1;  // ... on its n-th call
    int callsOfFailSlot = 0;
    // Called inside every callback, for tests that query the state there.
    std::function<void(ReaderContext*, const std::string&)> onEvent;

    int record(ReaderContext* ctx, int slot, std::string line);
};

// Registers the recorder on every slot (57-60, 71-83, 85-94).
void registerEventLog();

// Parses `path` with the log as client data; returns the error text ("" for
// none). The context is released unless `keep` receives it.
std::string parseWithLog(const std::string& path, EventLog& log, int callbacksEnabled = 1,
                         ReaderContext** keep = nullptr, const char* tracePath = nullptr);

}  // namespace qmv::test
