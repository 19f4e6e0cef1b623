// veltro-mqtt given bad input: one clear message and an exit code, and never
// a connection attempt to anything but its own checks.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

struct Outcome {
    int exitCode;
    std::string output;
};

Outcome runTap(const std::string& arguments) {
    const std::string command = std::string(VELTRO_TAP_PATH) + " " + arguments + " 2>&1";
    Outcome outcome{-1, {}};
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            outcome.output += buffer;
        }
        const int status = ::pclose(pipe);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return outcome;
}

TEST(TapProgramTest, BadInputGetsOneClearMessageAndAnExitCode) {
    const auto folder = std::filesystem::temp_directory_path() / ("tap-input-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string dir = folder.string();
    std::ofstream(folder / "bad.conf") << "# station\nhost 127.0.0.1\n";
    std::ofstream(folder / "range.conf") << "device = /dev/null\nport = 300\n";
    std::ofstream(folder / "good.conf") << "device = /dev/null\nport = 3\n";
    const struct {
        std::string arguments;
        int exitCode;
        std::string message;
    } cases[] = {
        {"", 2, "no device"},
        {"--bogus 1", 2, "unknown setting: bogus"},
        {"--device", 2, "--device needs a value"},
        {"-d /dev/null --port 0", 2, "port needs a number from 1 to 255 (not \"0\")"},
        {"-d /dev/null --broker-port 70000", 2, "broker-port needs a number"},
        {"-d /dev/null --id 'a/b'", 2, "may hold only letters"},
        {"-d /dev/null --trip-swr 1", 2, "trip-swr needs an SWR above 1"},
        {"-d /dev/null --peak-hold 0,5", 2, "peak-hold needs seconds"},
        {"-d /dev/null --host 192.0.2.7", 2, "is on another machine: use TLS"},
        {"-d /dev/null --password-file " + dir + "/bad.conf", 2, "password-file needs a user"},
        {"-d /dev/null --cafile " + dir + "/missing.pem", 2, "cannot read " + dir + "/missing.pem"},
        {"--config " + dir + "/missing.conf", 2, "cannot read the config file"},
        {"--config " + dir + "/bad.conf", 2, "bad.conf, line 2: expected \"setting = value\""},
        {"--config " + dir + "/range.conf", 2, "range.conf, line 2: port needs"},
        {"--config " + dir + "/good.conf --port 2 --dir " + dir, 1, "/dev/null is not a serial device"},
        {"-d " + dir + "/nothing --dir " + dir, 1, "No such file or directory"},
        {"-d " + dir + " --dir " + dir, 1, "is not a serial device"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = runTap(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.arguments << "\n" << outcome.output;
        EXPECT_NE(outcome.output.find(c.message), std::string::npos) << c.arguments << "\n" << outcome.output;
        EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 1) << outcome.output;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "ports")) << "no link left behind";
    std::filesystem::remove_all(folder);
}

}  // namespace
