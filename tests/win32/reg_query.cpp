#include "reg_query.h"

#include <windows.h>

namespace veltro::testing {
namespace {

std::optional<std::string> runCapturing(std::string commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return std::nullopt;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::optional<std::string> output;
    if (started) {
        output.emplace();
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            output->append(buffer, got);
        }
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return output;
}

}  // namespace

std::optional<std::string> regQuery(const std::string& key, const std::string& name) {
    const auto output = runCapturing("reg.exe query \"" + key + "\" /v \"" + name + "\"");
    if (!output) {
        return std::nullopt;
    }
    // A value line reads "    <name>    REG_SZ    <data>".
    const std::string lead = "    " + name + "    REG_SZ";
    const std::size_t at = output->find(lead);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::string rest = output->substr(at + lead.size());
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    return rest.rfind("    ", 0) == 0 ? rest.substr(4) : rest;
}

}  // namespace veltro::testing
