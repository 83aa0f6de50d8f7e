// Lines per second through the serial readers, fed by the panel simulator on a pseudo-terminal:
// a panel connected directly (DIRECT_LINE_READER) and one behind the hardware buffer unit
// (BUFFERED_LINE_READER, one request and one packet per record).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "panelsim.h"
#include "serial/hw_buffer.h"
#include "serial/line_reader.h"
#include "settings/inisoubor.h"

namespace {

using Clock = std::chrono::steady_clock;
using vrx::panelsim::Family;

struct Figure {
    long lines = 0;
    long bytes = 0;
    double seconds = 0;
};

// Reads `want` lines, waiting on the port between polls; stops early after 60 s without progress.
Figure readAll(vrx::LINE_READER& r, long want) {
    Figure f;
    auto start = Clock::now();
    auto lastProgress = start;
    while (f.lines < want && Clock::now() - lastProgress < std::chrono::seconds(60)) {
        if (r.readLine() == 2) {
            f.bytes += r.lineLength();
            ++f.lines;
            r.setLineLength(0);
            lastProgress = Clock::now();
        } else {
            r.waitForInput(10);
        }
    }
    f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return f;
}

void report(const char* what, const Figure& f) {
    std::printf("%-44s %8ld lines %9.3f s %12.0f lines/s %8.2f MB/s\n", what, f.lines, f.seconds,
                f.lines / f.seconds, f.bytes / f.seconds / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    const long directLines = argc > 1 ? std::atol(argv[1]) : 200000;
    const long bufferedLines = argc > 2 ? std::atol(argv[2]) : 20000;
    // The settings file of the working directory is not read: defaults only.
    vrx::setSettingsPath("/nonexistent/serial_bench.ini");
    const std::vector<std::string> sample = vrx::panelsim::sampleLines(Family::Galaxy, 11, 3, 2024);
    const unsigned char cr = 13;

    {
        vrx::panelsim::PseudoTerminal pty;
        if (!pty.open()) return std::fprintf(stderr, "no pseudo-terminal\n"), 1;
        vrx::DIRECT_LINE_READER r;
        r.setEndChar(10);
        r.setIgnored(&cr, 1);
        std::atomic<bool> stop{false};
        vrx::panelsim::PrintOptions options;
        options.count = directLines;
        std::thread printer([&] { vrx::panelsim::printLines(pty.master(), sample, options, &stop, &pty); });
        if (!r.open(pty.slavePath(), 19200, 8, 0, 0, 2048, 1024, false, false)) {
            stop = true;
            printer.join();
            return std::fprintf(stderr, "cannot open %s\n", pty.slavePath().c_str()), 1;
        }
        Figure f = readAll(r, directLines);
        stop = true;
        printer.join();
        report("direct reader, Galaxy lines, CR LF:", f);
    }
    {
        vrx::panelsim::PseudoTerminal pty;
        if (!pty.open()) return std::fprintf(stderr, "no pseudo-terminal\n"), 1;
        std::vector<std::string> lines;
        for (long i = 0; i < bufferedLines; ++i)
            lines.push_back(sample[static_cast<size_t>(i) % sample.size()]);
        vrx::panelsim::BufferUnit unit(lines, "\r\n");
        std::atomic<bool> stop{false};
        std::thread server([&] { vrx::panelsim::serveBuffer(pty.master(), unit, stop); });
        vrx::BUFFERED_LINE_READER r;
        r.setEndChar(10);
        r.setIgnored(&cr, 1);
        if (!r.open(pty.slavePath(), 19200, 8, 0, 0, 2048, 1024, false, false)) {
            stop = true;
            server.join();
            return std::fprintf(stderr, "cannot open %s\n", pty.slavePath().c_str()), 1;
        }
        r.startContinuousReading();
        Figure f = readAll(r, bufferedLines);
        r.stopReading();
        stop = true;
        server.join();
        report("buffered reader, one record per request:", f);
    }
    std::printf("(a 19200 bit/s line carries at most 1920 bytes/s, about 50 such lines/s)\n");
    return 0;
}
