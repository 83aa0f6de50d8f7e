#include "platform/program_start.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "testutil.h"

using vrx::platform::commandArguments;
using vrx::platform::kMaxCommandLine;
using vrx::platform::programArguments;
using vrx::platform::startDetached;
using vrx::platform::startProgram;
using Args = std::vector<std::string>;

namespace {

template <typename Pred>
bool waitFor(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool processGone(pid_t pid) {
    return !std::filesystem::exists("/proc/" + std::to_string(pid));
}

// The arguments argv_dump wrote: each ends with a zero byte.
Args readDump(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Args args;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\0') {
            args.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    return args;
}

}  // namespace

TEST(ProgramArguments, SplittingAndReplacement) {
    struct Case {
        const char* program;
        const char* parameters;
        const char* text;
        Args expected;
    } cases[] = {
        {"prog", "/m $$$ /t $$$", "ZONA 3", {"prog", "/m", "ZONA 3", "/t", "ZONA 3"}},
        {"prog", "", "x", {"prog"}},
        {"prog", "a  b\tc ", "", {"prog", "a", "b", "c"}},
        {"\"/opt/my app/run\"", "--x", "", {"/opt/my app/run", "--x"}},
        {"prog -v", "$$$", "t", {"prog", "-v", "t"}},
        {"prog", "\"two words\" one", "", {"prog", "two words", "one"}},
        {"prog", "a\"b c\"d", "", {"prog", "ab cd"}},
        {"prog", "\"\" x", "", {"prog", "", "x"}},
        {"prog", "--msg=\"$$$ end\"", "EV", {"prog", "--msg=EV end"}},
        {"prog", "x$$$y", "A B", {"prog", "xA By"}},
        // The event text is one argument however it looks.
        {"prog", "$$$", "; rm -rf ~", {"prog", "; rm -rf ~"}},
        {"prog", "$$$", "$(touch x) `id` | cat > y", {"prog", "$(touch x) `id` | cat > y"}},
        {"prog", "$$$ z", "say \"hi\" now", {"prog", "say \"hi\" now", "z"}},
        {"prog", "\"$$$\"", "a\" b", {"prog", "a\" b"}},
        {"prog", "$$$", "tab\there", {"prog", "tab\there"}},
        {"prog", "$$$", "", {"prog", ""}},
        {"prog", "$$ $$$$", "T", {"prog", "$$", "T$"}},
        {"prog", "$$$$$$", "ab", {"prog", "abab"}},
        {"C:\\Apps\\x.exe", "a\\b \\\"", "", {"C:\\Apps\\x.exe", "a\\b", "\\"}},
        {"prog", "\"unclosed quote", "", {"prog", "unclosed quote"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(programArguments(c.program, c.parameters, c.text), c.expected)
            << c.program << " | " << c.parameters << " | " << c.text;
    }
    EXPECT_EQ(commandArguments("prog", "$$$ \"a b\""), (Args{"prog", "$$$", "a b"}));
}

TEST(ProgramArguments, CommandLineLimit) {
    // "p" and a space leave 2045 characters for the parameters.
    std::string t1000(1000, 'x'), t1100(1100, 'y'), t3000(3000, 'z');
    EXPECT_EQ(programArguments("p", "$$$ $$$", t1000), (Args{"p", t1000, t1000}));
    // The second text no longer fits: it and every later "$$$" stay as written.
    EXPECT_EQ(programArguments("p", "$$$ $$$ $$$", t1100), (Args{"p", t1100, "$$$", "$$$"}));
    EXPECT_EQ(programArguments("p", "$$$ x", t3000), (Args{"p", "$$$", "x"}));
    // Exactly at the limit.
    std::string t2045(2045, 'w');
    EXPECT_EQ(programArguments("p", "$$$", t2045), (Args{"p", t2045}));
    std::string t2046(2046, 'w');
    EXPECT_EQ(programArguments("p", "$$$", t2046), (Args{"p", "$$$"}));
    // The line is cut at 2047 characters.
    EXPECT_EQ(programArguments("p", std::string(3000, 'a'), ""), (Args{"p", std::string(2045, 'a')}));
    EXPECT_EQ(programArguments("p", "$$$ " + std::string(3000, 'b'), "TEXT"),
              (Args{"p", "TEXT", std::string(2047 - 2 - 5, 'b')}));
    size_t total = 0;
    for (const auto& a : programArguments("prog", std::string(5000, 'c') + " $$$", "T")) total += a.size();
    EXPECT_LE(total, kMaxCommandLine);
}

TEST(ProgramStart, EventTextArrivesAsOneLiteralArgument) {
    vrx::test::TempDir dir;
    vrx::test::ChangeDir cd(dir.path());
    // Windows-1250 "ZÓNA Č" with the shell's special characters around it.
    std::string text = "; rm -rf ~ ; touch pwned1 $(touch pwned2) `touch pwned3` | tee pwned4 & Z\xD3NA \xC8";
    ASSERT_TRUE(startProgram(ARGV_DUMP, "out.bin /m $$$ /t", text));
    ASSERT_TRUE(waitFor([] { return std::filesystem::exists("out.bin"); }));
    Args got = readDump("out.bin");
    std::string utf8 =
        "; rm -rf ~ ; touch pwned1 $(touch pwned2) `touch pwned3` | tee pwned4 & Z\u00d3NA \u010c";
    EXPECT_EQ(got, (Args{"/m", utf8, "/t"}));
    for (const char* f : {"pwned1", "pwned2", "pwned3", "pwned4"})
        EXPECT_FALSE(std::filesystem::exists(f)) << f;
}

TEST(ProgramStart, FailuresStartNothing) {
    EXPECT_FALSE(startProgram("", "$$$", "x"));
    EXPECT_FALSE(startProgram("   ", "prog $$$", "x"));  // the parameters never become the program
    EXPECT_FALSE(startProgram("/nonexistent/vrx-program", "", "x"));
    EXPECT_FALSE(startProgram("vrx-no-such-program-on-path", "", "x"));
    EXPECT_EQ(startDetached({}), -1);
    EXPECT_EQ(startDetached({""}), -1);
}

TEST(ProgramStart, NotWaitedForAndReaped) {
    // The call returns while the program runs; once the program ends nothing of it remains.
    pid_t pid = startDetached({"sleep", "30"});
    ASSERT_GT(pid, 0);
    EXPECT_FALSE(processGone(pid));
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    EXPECT_TRUE(waitFor([pid] { return processGone(pid); })) << "child " << pid << " left as a zombie";

    vrx::test::TempDir dir;
    std::string out = dir.file("done.bin");
    pid = startDetached({ARGV_DUMP, out, "x"});
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(out); }));
    EXPECT_TRUE(waitFor([pid] { return processGone(pid); })) << "child " << pid << " left as a zombie";
}
