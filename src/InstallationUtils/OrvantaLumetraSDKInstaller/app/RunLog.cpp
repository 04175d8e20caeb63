#include "app/RunLog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "app/RunLogTexts.h"

namespace runlog {

namespace {

namespace texts = runlogtexts;

constexpr int MaxCounter = 99;
constexpr std::size_t TempBufferChars = 261;

std::mutex currentMutex;
RunLog* current = nullptr;
RunLog* copy = nullptr;

std::string twoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::string timestamp(const platform::LocalDateTime& t) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buffer;
}

bool digitsAt(const std::string& text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return false;
    return std::all_of(text.begin() + at, text.begin() + at + count,
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool ensureFolder(platform::Machine& machine, const std::string& folder) {
    if (fileExists(machine, folder)) return true;
    machine.files.createFolder(folder);
    return fileExists(machine, folder);
}

std::string withoutTrailingSeparator(std::string folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

// The oldest of this log's files go until KeptLogs remain.
void prune(platform::Machine& machine, const std::string& folder) {
    auto entries = machine.files.find(folder + "\\" + texts::FilePrefix + "*" + texts::FileExtension);
    if (!entries) return;
    std::vector<std::string> names;
    for (const platform::FindEntry& entry : *entries)
        if (!entry.isFolder() && isLogFileName(entry.name)) names.push_back(entry.name);
    if (names.size() <= KeptLogs) return;
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + KeptLogs < names.size(); ++i) deleteFileIfPresent(machine, folder + "\\" + names[i]);
}

// Creates a new file for this run in base\_OrvantaInstallData\Logs; never replaces an existing one. The path,
// or "" when no file could be created.
std::string createIn(platform::Machine& machine, const std::string& base) {
    if (base.empty()) return {};
    const std::string data = base + "\\" + datafolders::DataFolder;
    const std::string logs = data + "\\" + texts::LogsFolder;
    if (!ensureFolder(machine, data) || !ensureFolder(machine, logs)) return {};
    const platform::LocalDateTime now = machine.clock.localNow();
    for (int counter = 1; counter <= MaxCounter; ++counter) {
        std::string candidate = logs + "\\" + fileName(now, counter);
        if (fileExists(machine, candidate)) continue;
        auto file = machine.files.open(candidate, platform::Access::Write, platform::Disposition::CreateNew);
        if (file && file->close()) {
            prune(machine, logs);
            return candidate;
        }
    }
    return {};
}

}  // namespace

std::string fileName(const platform::LocalDateTime& t, int counter) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::string name = std::string(texts::FilePrefix) + buffer;
    if (counter > 1) {
        name += '_';
        name += twoDigits(counter);
    }
    return name + texts::FileExtension;
}

bool isLogFileName(const std::string& name) {
    const std::string prefix = texts::FilePrefix;
    const std::string extension = texts::FileExtension;
    // Installer-YYYYMMDD-HHMMSS[_NN].log
    const std::size_t stamp = prefix.size();
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    if (!digitsAt(name, stamp, 8) || name.size() <= stamp + 8 || name[stamp + 8] != '-' ||
        !digitsAt(name, stamp + 9, 6))
        return false;
    std::size_t rest = stamp + 15;
    if (rest < name.size() && name[rest] == '_') {
        if (!digitsAt(name, rest + 1, 2)) return false;
        rest += 3;
    }
    return name.substr(rest) == extension;
}

std::string withoutSecrets(const std::string& text) {
    std::string out = text;
    for (std::size_t scheme = out.find("://"); scheme != std::string::npos; scheme = out.find("://", scheme + 3)) {
        const std::size_t host = scheme + 3;
        std::size_t end = host;
        while (end < out.size() && out[end] != '/' && out[end] != '?' && out[end] != '#' && out[end] != '"' &&
               out[end] != '\'' && !std::isspace(static_cast<unsigned char>(out[end])))
            ++end;
        const std::size_t at = out.rfind('@', end == host ? host : end - 1);
        if (at != std::string::npos && at >= host && at < end) out.erase(host, at + 1 - host);
    }
    return out;
}

std::unique_ptr<RunLog> RunLog::open(platform::Machine& machine, const std::string& appFolder,
                                     bool appFolderWritable) {
    std::string path;
    if (appFolderWritable) path = createIn(machine, withoutTrailingSeparator(appFolder));
    if (path.empty()) {
        if (auto temp = machine.environment.tempFolder(TempBufferChars))
            path = createIn(machine, withoutTrailingSeparator(*temp));
    }
    if (path.empty()) return nullptr;
    return std::unique_ptr<RunLog>(new RunLog(machine, std::move(path)));
}

std::unique_ptr<RunLog> RunLog::create(platform::Machine& machine, const std::string& path) {
    if (path.empty()) return nullptr;
    auto file = machine.files.open(path, platform::Access::Write, platform::Disposition::CreateAlways);
    if (!file || !file->close()) return nullptr;
    return std::unique_ptr<RunLog>(new RunLog(machine, path));
}

RunLog::RunLog(platform::Machine& machine, std::string path) : machine_(machine), path_(std::move(path)) {}

RunLog::~RunLog() {
    std::lock_guard<std::mutex> lock(currentMutex);
    if (current == this) current = nullptr;
    if (copy == this) copy = nullptr;
}

void RunLog::write(const std::string& text) { append(entry(text)); }

std::string RunLog::entry(const std::string& text) const {
    std::string clean;
    clean.reserve(text.size());
    // One entry, one line: a multi-line message box text is joined.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            while (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n')) ++i;
            clean += " | ";
        } else {
            clean += text[i];
        }
    }
    return timestamp(machine_.clock.localNow()) + "  " + withoutSecrets(clean) + "\r\n";
}

void RunLog::append(const std::string& entry) {
    // The file is held only while a line is added: a run that deletes the data folder, or a person reading the
    // log while the installer runs, is never locked out, and a crash loses no line already written.
    std::lock_guard<std::mutex> lock(mutex_);
    auto file = machine_.files.open(path_, platform::Access::Write, platform::Disposition::OpenAlways);
    if (!file) return;
    if (auto size = file->size()) file->seek(*size);
    file->write(entry.data(), entry.size());
    file->close();
}

void setCurrent(RunLog* log) {
    std::lock_guard<std::mutex> lock(currentMutex);
    current = log;
}

void setCopy(RunLog* log) {
    std::lock_guard<std::mutex> lock(currentMutex);
    copy = log;
}

void line(const std::string& text) {
    std::lock_guard<std::mutex> lock(currentMutex);
    RunLog* first = current ? current : copy;
    if (!first) return;
    // One reading of the clock for both files: the copy a fleet tool collects is the same text, line for line,
    // even when a second goes by between the two writes.
    const std::string entry = first->entry(text);
    if (current) current->append(entry);
    if (copy && copy != current) copy->append(entry);
}

void statusChange(const std::string& page, const std::string& row, const std::string& before,
                  const std::string& after) {
    auto shown = [](const std::string& status) { return status.empty() ? std::string(texts::StatusNone) : status; };
    line(page + texts::StatusPageRow + row + texts::StatusRowStatus + shown(before) + texts::StatusChange +
         shown(after));
}

std::unique_ptr<platform::Process> startAndWait(platform::Machine& machine, const std::string& program,
                                                const std::string& commandLine, uint32_t waitMs) {
    const uint32_t started = machine.clock.tickCount();
    std::unique_ptr<platform::Process> process = machine.processes.start(program, commandLine);
    if (process) process->wait(waitMs);
    runlog::commandLine(texts::Command, program, commandLine, process.get(), machine.clock.tickCount() - started);
    return process;
}

void commandLine(const std::string& kind, const std::string& program, const std::string& commandLine,
                 platform::Process* process, uint32_t durationMs) {
    std::string text = kind + texts::CommandProgram + program + texts::CommandLine + commandLine + texts::CommandEnd;
    if (!process) {
        text += texts::NotStarted;
    } else if (std::optional<uint32_t> code = process->exitCode()) {
        text += std::string(texts::ExitCode) + std::to_string(*code);
    } else {
        text += texts::ExitUnknown;
    }
    line(text + ", " + std::to_string(durationMs) + texts::Duration);
}

void LoggingDebugOutput::write(const std::string& text) {
    inner_.write(text);
    line(std::string(runlogtexts::Debug) + text);
}

}  // namespace runlog
