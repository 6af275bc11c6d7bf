// The recorder: one function per reader callback slot, each turning its event
// into a JSON line. The reader calls plain function pointers, so the functions
// find their Recorder through the context's client data; pass the Recorder to
// readerOpen as clientData.
#pragma once

#include <cstdint>

#include "output_buffer.h"
#include "qmv/reader.h"

namespace qmv {

class Recorder {
public:
    enum class Detail {
        Count,   // count the events, write nothing
        Events,  // one JSON line per event
        State,   // as Events, each line with the graphic state at the call
    };

    Recorder(OutputBuffer& out, Detail detail) : out_(out), detail_(detail) {}
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    OutputBuffer& out() { return out_; }
    Detail detail() const { return detail_; }
    int64_t eventCount() const { return events_; }
    void countEvent() { ++events_; }

private:
    OutputBuffer& out_;
    Detail detail_;
    int64_t events_ = 0;
};

// Registers the recorder's functions in every slot the reader calls: 57 to 60,
// 71 to 83 and 85 to 94. Registrations are process-wide.
void registerRecorder();

// The slot's callback name ("QMVR_line"), or nullptr for an unused slot.
const char* callbackName(int slot);

// The closing line of an event stream: the outcome and the counts of the
// finished parse. `ctx` may be nullptr when no context could be created.
void writeEndLine(OutputBuffer& out, const ReaderContext* ctx);

}  // namespace qmv
