// The ecusim program's command line as a user types it: a bad one is refused with what was wrong in it,
// then the usage text, which shows the socket's real default whatever --socket said before.
#include "platform/sys/bytelink.h"
#include "wire.h"

#include <gtest/gtest.h>

#include <array>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Outcome {
    std::string out, err;
    int status = -1; // the exit status; -1 when it did not end by itself
};

// Reads what the program writes on either stream until it has closed both; false when it goes on
// writing nothing for longer than any refusal takes (it serves instead).
bool ReadBoth(int outFd, int errFd, Outcome& run) {
    std::array<pollfd, 2> fds = {pollfd{outFd, POLLIN, 0}, pollfd{errFd, POLLIN, 0}};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (::poll(fds.data(), fds.size(), 30000) <= 0) return false;
        for (pollfd& p : fds) {
            if (p.fd < 0 || p.revents == 0) continue;
            std::array<char, 4096> chunk{};
            const ssize_t n = ::read(p.fd, chunk.data(), chunk.size());
            if (n <= 0) {
                ::close(p.fd);
                p.fd = -1;
                continue;
            }
            (p.fd == outFd ? run.out : run.err).append(chunk.data(), static_cast<std::size_t>(n));
        }
    }
    return true;
}

// Runs ecusim with the arguments and collects both of its streams and its exit status.
Outcome RunEcusim(std::vector<std::string> args) {
    std::string program = ECUSIM_PATH;
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int outPipe[2], errPipe[2];
    EXPECT_EQ(::pipe(outPipe), 0);
    EXPECT_EQ(::pipe(errPipe), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    for (const int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    Outcome run;
    EXPECT_EQ(spawned, 0);
    if (spawned != 0) return run;
    const bool ended = ReadBoth(outPipe[0], errPipe[0], run);
    EXPECT_TRUE(ended) << "the program did not refuse the command line";
    if (!ended) ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (ended && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

} // namespace

TEST(SimProgram, ABadCommandLineIsNamedBeforeTheUsageWithTheRealDefaultSocket) {
    RuntimeDir runtime; // the default socket lies in a runtime directory of the test's own
    TempDir elsewhere;
    const std::string given = elsewhere.Path("given.sock");
    const std::string usageDefault = "(default: " + SimulatorSocketPath() + ")";
    struct Case {
        std::vector<std::string> args;
        std::string says; // the first line written
    };
    const Case cases[] = {
        {{"--open-channel", "foo"}, "ecusim: bad value for --open-channel: foo"},
        {{"--socket", given, "--open-channel", "water,foo"},
         "ecusim: bad value for --open-channel: water,foo"},
        {{"--socket", given, "--throttle", "0,120"}, "ecusim: bad value for --throttle: 0,120"},
        {{"--boot-type", "5700", "--socket", given}, "ecusim: bad value for --boot-type: 5700"},
        {{"--socket", given, "--frobnicate"}, "ecusim: unknown option --frobnicate"},
        {{"--socket", given, "--flaky"}, "ecusim: --flaky needs a value"},
        {{"--flaky", "abc"}, "ecusim: bad value for --flaky: abc"},
        {{"--flaky-transfers", "3x", "--socket", given}, "ecusim: bad value for --flaky-transfers: 3x"},
        {{"--flaky", "-1"}, "ecusim: bad value for --flaky: -1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const Outcome run = RunEcusim(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.says);
        EXPECT_NE(run.err.find("Usage: ecusim [options]"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(usageDefault), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(given), std::string::npos) << "the path given is no default: " << run.err;
    }

    const Outcome help = RunEcusim({"--socket", given, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with("Usage: ecusim [options]")) << help.out;
    EXPECT_NE(help.out.find(usageDefault), std::string::npos) << help.out;
}
