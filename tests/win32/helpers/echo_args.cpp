// Test helper: writes its own command line, exactly as it received it, to the file named by ECHO_ARGS_OUT,
// then waits ECHO_ARGS_SLEEP_MS milliseconds (if set) and ends with the exit code ECHO_ARGS_EXIT (0 if unset).
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

unsigned long numberFromEnvironment(const char* name) {
    char value[64] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    if (length == 0 || length >= sizeof(value)) return 0;
    return std::strtoul(value, nullptr, 10);
}

}  // namespace

int main() {
    char out[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("ECHO_ARGS_OUT", out, sizeof(out));
    if (length > 0 && length < sizeof(out)) {
        const char* line = GetCommandLineA();
        HANDLE file = CreateFileA(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 250;
        DWORD written = 0;
        WriteFile(file, line, DWORD(std::strlen(line)), &written, nullptr);
        CloseHandle(file);
    }
    if (unsigned long ms = numberFromEnvironment("ECHO_ARGS_SLEEP_MS")) Sleep(ms);
    return int(numberFromEnvironment("ECHO_ARGS_EXIT"));
}
