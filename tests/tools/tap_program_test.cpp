// veltro-mqtt given bad input: one clear message and an exit code, and never
// a connection attempt to anything but its own checks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

struct Outcome {
    int exitCode;
    std::string output;
};

// Within 64 MB of data and ten seconds: a file that blocks or grows fails here.
Outcome runTap(const std::string& arguments) {
    const std::string command =
        "ulimit -d 65536; timeout 10 " + std::string(VELTRO_TAP_PATH) + " " + arguments + " 2>&1";
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
    // Files exactly at their bound, and one byte over it.
    const auto sized = [&](const char* name, const std::string& head, std::size_t size) {
        std::ofstream(folder / name) << head << std::string(size - head.size() - 1, '#') << "\n";
    };
    sized("full.conf", "device = /dev/null\n", 64 * 1024);
    sized("over.conf", "device = /dev/null\n", 64 * 1024 + 1);
    sized("full.password", "s3cret\n", 4 * 1024);
    sized("over.password", "s3cret\n", 4 * 1024 + 1);
    ::mkfifo((folder / "fifo").c_str(), 0600);
    const std::string tls = "cd " + dir + " && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 " +
                            "-nodes -keyout ca.key -out ca.pem -days 2 -subj /CN=t 2>/dev/null && " +
                            "openssl genpkey -algorithm ec -pkeyopt ec_paramgen_curve:prime256v1 -out other.key && " +
                            "openssl pkey -in ca.key -aes128 -passout pass:x -out locked.key";
    ASSERT_EQ(std::system(tls.c_str()), 0);
    std::string ca;
    std::getline(std::ifstream(folder / "ca.pem"), ca, '\0');
    sized("full-ca.pem", ca, 1024 * 1024);
    sized("over-ca.pem", ca, 1024 * 1024 + 1);
    const std::string d = "-d /dev/null --dir " + dir + " ";
    const std::string withCert = d + "--cafile " + dir + "/ca.pem --cert " + dir + "/ca.pem --key " + dir;
    std::filesystem::create_directories(folder / "ports");
    std::filesystem::create_symlink(folder / "ports/com1", folder / "alias");
    std::filesystem::create_directories(folder / "busy/ports");
    std::filesystem::create_symlink("/dev/null", folder / "busy/ports/com1");
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
        {"-d /dev/null --host 192.0.2.7", 2, "is on another machine: use TLS"},
        {"-d /dev/null --password-file " + dir + "/bad.conf", 2, "password-file needs a user"},
        {"-d /dev/null --cafile " + dir + "/missing.pem", 1, "cannot read the CA file " + dir + "/missing.pem"},
        {"--config " + dir + "/missing.conf", 2, "cannot read the config file"},
        {"--config /dev/zero", 2, "config file /dev/zero is not a regular file"},
        {"--config " + dir + "/fifo", 2, "is not a regular file"},
        {"--config " + dir, 2, "is not a regular file"},
        {"--config " + dir + "/full.conf --dir " + dir, 1, "/dev/null is not a serial device"},
        {"--config " + dir + "/over.conf", 2, "is larger than 64 KiB"},
        {d + "--user u --password-file /dev/zero", 1, "is not a regular file"},
        {d + "--user u --password-file " + dir + "/fifo", 1, "is not a regular file"},
        {d + "--user u --password-file " + dir + "/full.password", 1, "is not a serial device"},
        {d + "--user u --password-file " + dir + "/over.password", 1, "is larger than 4 KiB"},
        {d + "--cafile " + dir, 1, "is not a regular file"},
        {d + "--cafile " + dir + "/fifo", 1, "is not a regular file"},
        {d + "--cafile " + dir + "/good.conf", 1, "holds no PEM certificate"},
        {d + "--cafile " + dir + "/full-ca.pem", 1, "is not a serial device"},
        {d + "--cafile " + dir + "/over-ca.pem", 1, "is larger than 1 MiB"},
        {withCert + "/ca.key", 1, "is not a serial device"},
        {withCert + "/other.key", 1, "is not the key of the certificate"},
        {withCert + "/locked.key", 1, "holds no private key that opens without a passphrase"},
        {withCert + "/good.conf", 1, "holds no private key"},
        {d + "--host 127.attacker.example", 2, "is on another machine"},
        {d + "--host 128.0.0.1", 2, "is on another machine"},
        {d + "--host localhost.example", 2, "is on another machine"},
        {d + "--host 127.255.0.9", 1, "is not a serial device"},
        {d + "--host ::1", 1, "is not a serial device"},
        {d + "--discovery-prefix homeassistant/", 2, "is not a topic prefix"},
        {d + "--record " + dir + "/fifo", 1, "cannot write the recording"},
        {"--config " + dir + "/bad.conf", 2, "bad.conf, line 2: expected \"setting = value\""},
        {"--config " + dir + "/range.conf", 2, "range.conf, line 2: port needs"},
        {"--config " + dir + "/good.conf --port 2 --dir " + dir, 1, "/dev/null is not a serial device"},
        {"-d " + dir + "/nothing --dir " + dir, 1, "No such file or directory"},
        {"-d " + dir + " --dir " + dir, 1, "is not a serial device"},
        // Never its own side: the same path, by another spelling, or a link to it.
        {"-d " + dir + "/ports/com1 --dir " + dir, 2, "is the tap's own panel side"},
        {"-d " + dir + "/ports/../ports/com1 --dir " + dir, 2, "is the tap's own panel side"},
        {"-d " + dir + "/alias --dir " + dir, 2, "is the tap's own panel side"},
        {"-d " + dir + "/ports/com1 --port 2 --dir " + dir, 1, "No such file"},
        {"-d /dev/null --dir " + dir + "/busy", 1, "ports/com1 is in use (it names /dev/null)"},
        {"-d /dev/null --alone-poll 19", 2, "alone-poll needs 0 (never) or milliseconds from 20"},
        {"-d /dev/null --alone-poll 60001", 2, "alone-poll needs"},
        {"-d /dev/null --alone-poll 20 --dir " + dir, 1, "/dev/null is not a serial device"},
        {"-d /dev/null --alone-poll 0 --generation older --dir " + dir, 1, "/dev/null is not a serial device"},
        {"-d /dev/null --generation middle", 2, "generation needs older or newer (not \"middle\")"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = runTap(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.arguments << "\n" << outcome.output;
        EXPECT_NE(outcome.output.find(c.message), std::string::npos) << c.arguments << "\n" << outcome.output;
        EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 1) << outcome.output;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "ports")) << "no link left behind";
    EXPECT_EQ(std::filesystem::read_symlink(folder / "busy/ports/com1"), "/dev/null") << "nor one taken";
    std::filesystem::remove_all(folder);
}

}  // namespace
