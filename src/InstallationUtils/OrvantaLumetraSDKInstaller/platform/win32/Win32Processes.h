// Starting programs, the shell's open verbs, the process list and other programs' top-level windows.
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32Processes : public Processes {
public:
    std::unique_ptr<Process> start(const std::string& program, const std::string& commandLine) override;
    intptr_t shellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, ShowCommand show) override;
    std::unique_ptr<Process> shellExecute(const std::string& verb, const std::string& file,
                                          const std::string& parameters, const std::string& directory,
                                          ShowCommand show) override;
    std::optional<std::vector<ProcessEntry>> list(std::size_t maxIds) override;
    WindowId findTopLevelWindow(const std::string& title) override;
    // Sent with a time-out (commandTimeoutMs) and given up on a hung receiver: the windows this is used for
    // belong to other programs' installers, and a receiver that never answers must not hold the caller
    // forever.
    bool sendCommand(WindowId window, uint32_t commandId) override;
    bool requestClose(WindowId window) override;
    void broadcastSettingChange(const std::string& text, uint32_t timeoutMs) override;
    void startDetached(std::function<void()> task) override;

    static constexpr uint32_t commandTimeoutMs = 5000;
};

}  // namespace platform::win32
