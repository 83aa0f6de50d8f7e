// Several processes on one table: one writer appending batches while another reads.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/db/dbfixture.h"
#include "db/tables.h"

using namespace vrx;

namespace {

class Sharing : public test::DbFixture {};

std::string textOf(int n) { return "ZONA " + std::to_string(n % 97) + " POPLACH c." + std::to_string(n); }

// Appends `total` records in transactions of ten; exit code 0 on success.
int writer(int total) {
    TABHISTOR h;
    if (!h.open(0, 1, 0)) return 2;
    for (int n = 1; n <= total;) {
        if (!h.beginTransaction()) return 3;
        for (int k = 0; k < 10; ++k, ++n) {
            h.clearRecord();
            h.rec.Cislo = n;
            h.rec.Datum = 45000 + n / 1000;
            setText(h.rec.Retezec, textOf(n));
            if (!h.save(1)) return 4;
        }
        if (!h.commitTransaction()) return 5;
    }
    return 0;
}

}  // namespace

TEST_F(Sharing, ReaderSeesWholeBatchesInOrderWhileAWriterAppends) {
    {
        TABHISTOR h;
        ASSERT_TRUE(h.open(0, 1, 1));
    }
    const int total = 10000;
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(writer(total));

    TABHISTOR r;
    ASSERT_TRUE(r.open(0, 0, 0));
    int rounds = 0, lastCount = 0;
    bool done = false;
    while (!done) {
        int status = 0;
        done = waitpid(pid, &status, WNOHANG) == pid;
        if (done) ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer failed " << status;
        int expected = 1;
        for (r.first(); !r.eof(); r.next(), ++expected) {
            ASSERT_EQ(r.rec.Cislo, expected);
            ASSERT_EQ(r.rec.Datum, 45000 + expected / 1000);
            ASSERT_EQ(std::string(r.rec.Retezec), textOf(expected));
        }
        int seen = expected - 1;
        ASSERT_EQ(seen % 10, 0) << "a batch was seen in part";
        ASSERT_GE(seen, lastCount);
        lastCount = seen;
        ++rounds;
        if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    EXPECT_EQ(lastCount, total);
    EXPECT_EQ(r.recordCount(), total);
    EXPECT_GT(rounds, 1);
}

TEST_F(Sharing, AWriterKilledMidwayLeavesEveryCommittedBatch) {
    {
        TABHISTOR h;
        ASSERT_TRUE(h.open(0, 1, 1));
    }
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Reports each committed batch, and keeps writing until it is killed.
        TABHISTOR h;
        if (!h.open(0, 1, 0)) _exit(2);
        for (int n = 1;;) {
            h.beginTransaction();
            for (int k = 0; k < 10; ++k, ++n) {
                h.clearRecord();
                h.rec.Cislo = n;
                setText(h.rec.Retezec, textOf(n));
                h.save(1);
            }
            if (h.commitTransaction()) {
                int committed = n - 1;
                if (write(pipefd[1], &committed, sizeof committed) != sizeof committed) _exit(3);
            }
        }
    }
    close(pipefd[1]);
    int committed = 0, got = 0;
    while (committed < 2000 && read(pipefd[0], &got, sizeof got) == sizeof got) committed = got;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    while (read(pipefd[0], &got, sizeof got) == sizeof got) committed = got;
    close(pipefd[0]);

    TABHISTOR r;
    ASSERT_TRUE(r.open(0, 0, 0));
    int expected = 1;
    for (r.first(); !r.eof(); r.next(), ++expected) {
        ASSERT_EQ(r.rec.Cislo, expected);
        ASSERT_EQ(std::string(r.rec.Retezec), textOf(expected));
    }
    const int seen = expected - 1;
    EXPECT_EQ(seen % 10, 0);
    EXPECT_GE(seen, committed);  // every batch reported as committed is there
    EXPECT_LE(seen, committed + 10);
}

TEST_F(Sharing, ConcurrentWritersEachKeepTheirRecords) {
    {
        TABHESLA h;
        ASSERT_TRUE(h.open(0, 1, 1));
    }
    // Two processes append to a table without a key at once; the busy time-out serialises them.
    auto work = [](char tag) {
        TABHESLA h;
        if (!h.open(0, 1, 0)) return 2;
        for (int i = 0; i < 200; ++i) {
            h.clearRecord();
            setText(h.rec.Jmeno, std::string(1, tag) + std::to_string(i));
            if (!h.save(1)) return 3;
        }
        return 0;
    };
    pid_t a = fork();
    if (a == 0) _exit(work('a'));
    pid_t b = fork();
    if (b == 0) _exit(work('b'));
    int sa = 0, sb = 0;
    waitpid(a, &sa, 0);
    waitpid(b, &sb, 0);
    EXPECT_EQ(WEXITSTATUS(sa), 0);
    EXPECT_EQ(WEXITSTATUS(sb), 0);
    TABHESLA h;
    ASSERT_TRUE(h.open(0, 0, 0));
    EXPECT_EQ(h.recordCount(), 400);
}
