// vorax-panelsim: a panel (or a hardware buffer unit) on a serial line, for trying the station
// without the hardware.
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "panelsim.h"
#include "text/dates.h"

using namespace vrx::panelsim;

namespace {

std::atomic<bool> g_stop{false};

void onSignal(int) {
    g_stop = true;
}

const char kHelp[] =
    "Usage: vorax-panelsim [options] [FILE]\n"
    "\n"
    "Prints panel lines on a serial line as a panel's printer port does, or plays the hardware\n"
    "buffer unit that stores the lines and hands them out in checksummed packets.\n"
    "Without --device it opens a pseudo-terminal and prints the path of its slave side on\n"
    "standard output; set that path as the port name (\"Jmeno\" in section PORT) of the station.\n"
    "The lines come from FILE (one panel line per line of the file, bytes as they are) or from a\n"
    "built-in sample.\n"
    "\n"
    "Options:\n"
    "  -d, --device PATH     use this serial device instead of a new pseudo-terminal\n"
    "  -s, --speed BPS       line speed for --device (default 9600; 8 data bits, no parity, 1 stop)\n"
    "  -f, --family NAME     built-in sample when no FILE is given: galaxy (default), pc4020 or\n"
    "                        general (lines for the general device and panels without a decoder)\n"
    "      --date D.M.YYYY   first day of the built-in sample (default: today)\n"
    "  -r, --rate N          lines per second; 0 prints as fast as possible (default 1)\n"
    "  -e, --line-end END    crlf (default), lf, cr, lfcr or none\n"
    "  -n, --count N         print N lines, repeating the list (default: each line once)\n"
    "      --loop            repeat the lines until interrupted\n"
    "      --no-wait         print at once; by default printing on a pseudo-terminal waits (and\n"
    "                        pauses) while no station holds the port open\n"
    "      --exit            end after the last line instead of waiting to be interrupted; on a\n"
    "                        pseudo-terminal once the station has closed the port again\n"
    "\n"
    "Hardware buffer unit:\n"
    "  -b, --buffer          play the unit: each line (with its line end) is one stored record;\n"
    "                        the unit answers the station's commands until interrupted\n"
    "      --noise N         put noise bytes before the head byte of every N-th reply\n"
    "      --bad-checksum N  send every N-th reply to a record request with a wrong checksum\n"
    "      --expire N        answer every N-th record request with \"connection expired\"\n"
    "      --silence N       leave every N-th record request without any reply (the station\n"
    "                        then waits for its time-out, \"BufferTimeout\")\n"
    "                        (N counts from 1; 0 switches the fault off; with N of 1 the station\n"
    "                        can make no progress for --expire and --silence)\n"
    "\n"
    "  -h, --help            show this text\n"
    "\n"
    "Interrupt with Ctrl+C; the buffer unit then reports what it did on standard error.\n";

bool number(const char* s, long& out) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s, &end, 10);
    if (errno != 0 || end == s || *end != '\0' || v < 0) return false;
    out = v;
    return true;
}

bool rate(const char* s, double& out) {
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (end == s || *end != '\0' || v < 0) return false;
    out = v;
    return true;
}

int usage(const char* why) {
    std::fprintf(stderr, "vorax-panelsim: %s\nTry 'vorax-panelsim --help'.\n", why);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string device, file;
    long speed = 9600;
    Family family = Family::Galaxy;
    PrintOptions print;
    print.linesPerSecond = 1;
    bool buffer = false, wait = true, exitAtEnd = false;
    FaultPlan faults;
    vrx::text::DateParts first = vrx::text::dayToParts(vrx::text::today());

    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        long n = 0;
        if (a == "-h" || a == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "-d" || a == "--device") {
            if (!value(v)) return usage("--device needs a path");
            device = v;
        } else if (a == "-s" || a == "--speed") {
            if (!value(v) || !number(v, speed)) return usage("--speed needs a number");
        } else if (a == "-f" || a == "--family") {
            if (!value(v) || !parseFamily(v, family)) return usage("--family is galaxy, pc4020 or general");
        } else if (a == "--date") {
            if (!value(v)) return usage("--date needs D.M.YYYY");
            long day = vrx::text::parseDate(v);
            if (day == vrx::text::kInvalidDay) return usage("--date needs D.M.YYYY");
            first = vrx::text::dayToParts(day);
        } else if (a == "-r" || a == "--rate") {
            if (!value(v) || !rate(v, print.linesPerSecond)) return usage("--rate needs a number");
        } else if (a == "-e" || a == "--line-end") {
            if (!value(v) || !parseLineEnd(v, print.lineEnd))
                return usage("--line-end is crlf, lf, cr, lfcr or none");
        } else if (a == "-n" || a == "--count") {
            if (!value(v) || !number(v, print.count)) return usage("--count needs a number");
        } else if (a == "--loop") {
            print.loop = true;
        } else if (a == "--no-wait") {
            wait = false;
        } else if (a == "--exit") {
            exitAtEnd = true;
        } else if (a == "-b" || a == "--buffer") {
            buffer = true;
        } else if (a == "--noise" || a == "--bad-checksum" || a == "--expire" || a == "--silence") {
            if (!value(v) || !number(v, n) || n > 1000000) return usage((a + " needs a number").c_str());
            int& target = a == "--noise"          ? faults.noiseEvery
                          : a == "--bad-checksum" ? faults.badChecksumEvery
                          : a == "--expire"       ? faults.expireEvery
                                                  : faults.silenceEvery;
            target = static_cast<int>(n);
        } else if (!a.empty() && a[0] == '-') {
            return usage(("unknown option " + a).c_str());
        } else if (file.empty()) {
            file = a;
        } else {
            return usage("only one file of lines");
        }
    }

    std::vector<std::string> lines;
    if (!file.empty()) {
        if (!readLinesFile(file, lines)) {
            std::fprintf(stderr, "vorax-panelsim: cannot read %s: %s\n", file.c_str(), std::strerror(errno));
            return 1;
        }
    } else {
        lines = sampleLines(family, first.day, first.month, first.year);
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    PseudoTerminal pty;
    int fd;
    if (device.empty()) {
        if (!pty.open()) {
            std::fprintf(stderr, "vorax-panelsim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
            return 1;
        }
        fd = pty.master();
        std::printf("%s\n", pty.slavePath().c_str());
        std::fflush(stdout);
    } else {
        fd = openDevice(device, static_cast<int>(speed));
        if (fd < 0) {
            std::fprintf(stderr, "vorax-panelsim: cannot open %s at %ld bit/s\n", device.c_str(), speed);
            return 1;
        }
    }

    if (buffer) {
        BufferUnit unit(lines, print.lineEnd, faults);
        std::fprintf(stderr, "vorax-panelsim: buffer unit holding %zu records\n", unit.recordCount());
        serveBuffer(fd, unit, g_stop);
        const UnitStats& s = unit.stats();
        std::fprintf(stderr,
                     "vorax-panelsim: %ld commands, %ld records sent, %ld no-more-data, %ld noise, "
                     "%ld bad checksums, %ld expired, %ld silent, %ld erased\n",
                     s.commands, s.records, s.noMoreData, s.noise, s.badChecksums, s.expiries, s.silences,
                     s.erased);
    } else {
        long printed = printLines(fd, lines, print, &g_stop, device.empty() && wait ? &pty : nullptr);
        std::fprintf(stderr, "vorax-panelsim: %ld lines printed\n", printed);
        if (!device.empty()) tcdrain(fd);
        // The other side may still be reading what is in the line; keep it until told to go.
        while (!exitAtEnd && !g_stop.load()) usleep(100000);
        // The pseudo-terminal goes away with the program: first let the station take the last
        // bytes, that is, wait until it closes the port (or, not waiting for a station, until
        // the line is read empty).
        while (device.empty() && !g_stop.load() && (wait ? pty.readerAttached() : pty.unreadBytes() > 0))
            usleep(20000);
    }
    if (!device.empty()) close(fd);
    return 0;
}
