#include "platform/program_start.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <mutex>
#include <system_error>
#include <thread>

#include "text/charset.h"
#include "text/strutil.h"

extern char** environ;

namespace vrx::platform {
namespace {

struct Piece {
    std::string_view text;
    bool literal;  // an event text: never split, its quotes are characters
};

std::vector<std::string> split(const std::vector<Piece>& pieces) {
    std::vector<std::string> args;
    std::string word;
    bool inWord = false, quoted = false;
    for (const Piece& p : pieces) {
        if (p.literal) {
            word += p.text;
            inWord = true;
            continue;
        }
        for (char c : p.text) {
            if (c == '"') {
                quoted = !quoted;
                inWord = true;
            } else if (!quoted && (c == ' ' || c == '\t')) {
                if (inWord) args.push_back(std::move(word));
                word.clear();
                inWord = false;
            } else {
                word += c;
                inWord = true;
            }
        }
    }
    if (inWord) args.push_back(std::move(word));
    return args;
}

std::vector<std::string> arguments(std::string_view program, std::string_view parameters,
                                   const std::string_view* text) {
    std::vector<Piece> pieces;
    size_t length = 0;
    auto add = [&](std::string_view s, bool literal) {
        pieces.push_back({s, literal});
        length += s.size();
    };
    add(program, false);
    add(" ", false);
    size_t pos = 0;
    if (text) {
        for (;;) {
            size_t found = parameters.find("$$$", pos);
            if (found == std::string_view::npos) break;
            std::string_view part = parameters.substr(pos, found - pos);
            // Replacing stops at the first "$$$" whose text no longer fits the line.
            if (length + part.size() + text->size() > kMaxCommandLine) break;
            add(part, false);
            add(*text, true);
            pos = found + 3;
        }
    }
    add(parameters.substr(pos), false);
    while (length > kMaxCommandLine) {
        Piece& last = pieces.back();
        size_t excess = length - kMaxCommandLine;
        if (last.text.size() <= excess) {
            length -= last.text.size();
            pieces.pop_back();
        } else {
            last.text = last.text.substr(0, last.text.size() - excess);
            length = kMaxCommandLine;
        }
    }
    return split(pieces);
}

void reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Children whose reaper thread could not be created; collected at the next start.
std::mutex g_unreapedMutex;
std::vector<pid_t> g_unreaped;

void reapFinished() {
    std::lock_guard lock(g_unreapedMutex);
    std::erase_if(g_unreaped, [](pid_t pid) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

}  // namespace

std::vector<std::string> programArguments(std::string_view program, std::string_view parameters,
                                          std::string_view text) {
    return arguments(program, parameters, &text);
}

std::vector<std::string> commandArguments(std::string_view program, std::string_view parameters) {
    return arguments(program, parameters, nullptr);
}

pid_t startDetached(const std::vector<std::string>& args) {
    if (args.empty() || args[0].empty()) return -1;
    reapFinished();
    std::vector<std::string> utf8;
    utf8.reserve(args.size());
    for (const auto& a : args) utf8.push_back(text::cp1250ToUtf8(a));
    std::vector<char*> argv;
    for (auto& a : utf8) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // The program gets standard input, output and error, none of our tables, ports or sockets.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM, SIGTSTP,
                    SIGTTIN, SIGTTOU})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // Its own session: the program outlives a terminal's interrupt aimed at this program.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    pid_t pid = -1;
    int rc = ::posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    // Not waited for by the caller; a thread of its own collects the exit status.
    try {
        std::thread(reap, pid).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(g_unreapedMutex);
        g_unreaped.push_back(pid);
    }
    return pid;
}

bool startProgram(std::string_view program, std::string_view parameters, std::string_view text) {
    if (text::trim(program).empty()) return false;
    std::vector<std::string> args = programArguments(program, parameters, text);
    if (args.empty() || args[0].empty()) return false;
    return startDetached(args) > 0;
}

}  // namespace vrx::platform
