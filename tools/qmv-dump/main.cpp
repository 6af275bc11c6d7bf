// qmv-dump: parses a scene file with the reader and shows what the reader
// reported: a summary, every callback as a JSON line, or the parse trace.
#include <cstdio>
#include <memory>
#include <optional>

#include "options.h"
#include "qmv_version.h"
#include "output_buffer.h"
#include "qmv/reader.h"
#include "recorder.h"
#include "summary.h"
#include "trace_file.h"

namespace {

struct ContextRelease {
    void operator()(qmv::ReaderContext* ctx) const { qmv::readerRelease(&ctx); }
};
using ContextPtr = std::unique_ptr<qmv::ReaderContext, ContextRelease>;

qmv::Recorder::Detail detailFor(const qmv::DumpOptions& options) {
    if (options.mode != qmv::DumpOptions::Mode::Events) return qmv::Recorder::Detail::Count;
    return options.withState ? qmv::Recorder::Detail::State : qmv::Recorder::Detail::Events;
}

int fail(const char* message) {
    std::fprintf(stderr, "qmv-dump: %s\n", message);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using qmv::DumpOptions;
    const qmv::ParsedOptions parsed = qmv::parseOptions(argc, argv);
    if (!parsed.ok) {
        std::fprintf(stderr, "qmv-dump: %s\n%s\n", parsed.error.c_str(), qmv::usageLine());
        return 2;
    }
    const DumpOptions& options = parsed.options;
    if (options.help) {
        std::printf("%s\n", qmv::helpText());
        return 0;
    }
    if (options.version) {
        std::printf("qmv-dump %s\n", QMV_VERSION);
        return 0;
    }

    qmv::registerRecorder();
    qmv::OutputBuffer out(stdout);
    qmv::Recorder recorder(out, detailFor(options));

    std::optional<qmv::TempTraceFile> trace;
    if (options.mode == DumpOptions::Mode::Trace) {
        trace.emplace();
        if (trace->path().empty()) return fail("cannot create a temporary file for the trace");
    }

    ContextPtr ctx(qmv::readerOpen(options.path.c_str(), &recorder,
                                   options.callbacksEnabled ? 1 : 0,
                                   trace ? trace->path().c_str() : nullptr));
    if (!ctx) return fail("out of memory");

    switch (options.mode) {
        case DumpOptions::Mode::Summary:
            qmv::writeSummary(out, ctx.get(), options.path, recorder.eventCount());
            break;
        case DumpOptions::Mode::Events:
            qmv::writeEndLine(out, ctx.get());
            break;
        case DumpOptions::Mode::Trace:
            out.flush();
            if (!qmv::copyFileTo(trace->path(), stdout)) return fail("cannot copy the trace");
            break;
    }
    if (!out.flush()) return fail("cannot write standard output");

    if (const char* error = qmv::readerErrorText(ctx.get())) return fail(error);
    return 0;
}
