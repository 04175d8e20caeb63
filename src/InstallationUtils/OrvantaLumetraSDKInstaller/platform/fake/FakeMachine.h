// An in-memory Windows machine for the engine's unit tests.
//
// It keeps the Windows semantics the installer's rules depend on: paths compare without regard to case and
// accept "\" and "/" alike; a read-only file refuses deletion, writing and replacement; a folder path with a
// trailing separator is not found by a directory search; registry keys live in two hives; Windows Installer
// products are registered per context. A test sets the machine up in a few lines and registers, for each
// program the engine may start, what that program does to the machine.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace platform::fake {

// "C:/A\\b/" -> "c:\a\b\" : lower case, one kind of separator, runs of separators folded.
std::string normalizePath(const std::string& path);
// Matches a name against a pattern with * and ? (case-insensitive), as FindFirstFile does for the last element.
bool wildcardMatch(const std::string& pattern, const std::string& name);

// ---------------------------------------------------------------------------------------------------------
class FakeRegistry : public Registry {
public:
    bool keyExists(Hive hive, const std::string& key) override;
    std::optional<RegistryValue> readValue(Hive hive, const std::string& key, const std::string& name,
                                           std::size_t bufferBytes) override;
    bool createKey(Hive hive, const std::string& key) override;
    bool writeValue(Hive hive, const std::string& key, const std::string& name,
                    const RegistryValue& value) override;
    bool deleteValue(Hive hive, const std::string& key, const std::string& name) override;
    bool deleteKeyTree(Hive hive, const std::string& key) override;

    // Set-up: creates the key (and its parents) and writes a string value.
    void setString(Hive hive, const std::string& key, const std::string& name, const std::string& value);
    void setDword(Hive hive, const std::string& key, const std::string& name, uint32_t value);

private:
    struct Key {
        std::map<std::string, RegistryValue> values;  // by lower-case name
    };
    static std::string keyId(Hive hive, const std::string& key);
    std::map<std::string, Key> keys_;
};

// ---------------------------------------------------------------------------------------------------------
struct FakeProduct {
    std::string name;     // InstalledProductName
    std::string version;  // VersionString
    std::map<std::string, std::string> otherProperties;
};

class FakeWindowsInstaller : public WindowsInstaller {
public:
    std::optional<std::string> productInfoEx(const std::string& productCode, MsiContext context,
                                             const std::string& property, std::size_t bufferChars) override;
    std::optional<std::string> productInfo(const std::string& productCode, const std::string& property,
                                           std::size_t bufferChars) override;
    uint32_t enumProducts(uint32_t index, std::string& productCode) override;
    std::optional<std::string> fileVersion(const std::string& path, std::size_t bufferChars) override;
    uint32_t configureProductAbsent(const std::string& productCode) override;

    // Set-up.
    void registerProduct(const std::string& code, MsiContext context, const FakeProduct& product);
    void unregisterProduct(const std::string& code);
    void setFileVersion(const std::string& path, const std::string& version);
    // Makes enumProducts answer this error at the given index (the product there is skipped).
    void failEnumAt(uint32_t index, uint32_t error) { enumFailures_[index] = error; }
    // Makes removing this product end with another result: one of the successes (3010, 1641) removes it, any
    // other result leaves it registered.
    void removalResult(const std::string& code, uint32_t result) { removalResults_[code] = result; }
    bool isRegistered(const std::string& code) const;

private:
    struct Registration {
        std::string code;  // as registered
        std::map<MsiContext, FakeProduct> contexts;
    };
    Registration* find(const std::string& code);
    std::vector<Registration> products_;  // enumeration order
    std::map<std::string, std::string> fileVersions_;
    std::map<uint32_t, uint32_t> enumFailures_;
    std::map<std::string, uint32_t> removalResults_;
};

// ---------------------------------------------------------------------------------------------------------
class FakeFileSystem : public FileSystem {
public:
    FakeFileSystem();

    bool exists(const std::string& path) override;
    std::optional<std::vector<FindEntry>> find(const std::string& pattern) override;
    std::optional<uint32_t> attributes(const std::string& path) override;
    bool setAttributes(const std::string& path, uint32_t attributes) override;
    bool deleteFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to, uint32_t flags) override;
    bool copyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool createFolder(const std::string& path) override;
    bool removeFolder(const std::string& path) override;
    std::unique_ptr<File> open(const std::string& path, Access access, Disposition disposition) override;
    bool setTimes(const std::string& path, std::optional<FileTime> creation,
                  std::optional<FileTime> lastWrite) override;

    // Set-up and inspection.
    void addFolder(const std::string& path);  // with its parents
    void addFile(const std::string& path, const std::string& content = "", uint32_t attributes = attr::Archive);
    std::optional<std::string> content(const std::string& path) const;
    bool isFolder(const std::string& path) const;
    // Every path below (and including) root, in sorted order, with its original spelling.
    std::vector<std::string> tree(const std::string& root) const;
    // Files cannot be created in this folder (write-protected media).
    void writeProtect(const std::string& folder);
    // Fault injection: called with the operation ("find", "move", "delete", "open", "createFolder", "copy",
    // "write") and the path; returning true makes that call fail.
    std::function<bool(const std::string& op, const std::string& path)> fault;
    // Operations performed, one "op path" line each, for tests that check what was (not) touched.
    std::vector<std::string> journal;

private:
    friend class FakeFile;
    struct Node {
        std::string path;  // as first created
        bool folder = false;
        uint32_t attributes = attr::Archive;
        std::shared_ptr<std::string> data = std::make_shared<std::string>();
        FileTime creationTime = 0, lastWriteTime = 0;
        int openHandles = 0;
        bool writeProtected = false;
        // A removed folder link. Windows removes a link and leaves its target alone; the fake keeps a link's
        // target where the link showed it, so what was seen through the link stays reachable, while the link
        // itself is no entry of its folder any more.
        bool detached = false;
    };
    Node* node(const std::string& path);
    const Node* node(const std::string& path) const;
    bool parentIsFolder(const std::string& key) const;
    bool injected(const std::string& op, const std::string& path);
    std::map<std::string, Node> nodes_;  // by normalized path
    FileTime nextTime_ = 130000000000000000ull;
};

// ---------------------------------------------------------------------------------------------------------
class FakeMachine;

// What a program does when it is started: it may change the machine; returns its exit code.
using FakeProgram = std::function<uint32_t(FakeMachine& machine, const std::string& commandLine)>;

struct StartRecord {
    std::string program;
    std::string commandLine;
};

struct ShellRecord {
    std::string verb, file, parameters, directory;
};

class FakeProcesses : public Processes {
public:
    explicit FakeProcesses(FakeMachine& machine) : machine_(machine) {}
    std::unique_ptr<Process> start(const std::string& program, const std::string& commandLine) override;
    intptr_t shellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, ShowCommand show) override;
    std::unique_ptr<Process> shellExecute(const std::string& verb, const std::string& file,
                                          const std::string& parameters, const std::string& directory,
                                          ShowCommand show) override;
    std::optional<std::vector<ProcessEntry>> list(std::size_t maxIds) override;
    WindowId findTopLevelWindow(const std::string& title) override;
    bool sendCommand(WindowId window, uint32_t commandId) override;
    bool requestClose(WindowId window) override;
    void broadcastSettingChange(const std::string& text, uint32_t timeoutMs) override;
    // Queued, not run: a test (or a fake program while it "runs") calls runDetachedTasks() at the moment the
    // real thread would do its work.
    void startDetached(std::function<void()> task) override { detachedTasks.push_back(std::move(task)); }
    // Runs and removes every queued task, in order.
    void runDetachedTasks();
    std::vector<std::function<void()>> detachedTasks;

    // Set-up: what starting the program at this path does (matched without regard to case; a program
    // registered by bare file name matches that name in any folder).
    void onStart(const std::string& program, FakeProgram behaviour);
    // ShellExecute of files: the result when no behaviour is registered is 42 when the file exists, 2 if not.
    void onShellOpen(const std::string& file, FakeProgram behaviour);
    // Running processes shown by list(); failing the enumeration.
    void addRunning(const std::string& fullPath, uint32_t id = 0);
    void failEnumeration(bool fail) { enumerationFails_ = fail; }
    // Top-level windows: title -> what a command sent to it does.
    WindowId addWindow(const std::string& title, std::function<void(uint32_t commandId)> onCommand = {});
    void removeWindow(const std::string& title);

    std::vector<StartRecord> started;
    std::vector<ShellRecord> shellCalls;
    std::vector<std::string> settingBroadcasts;
    std::vector<std::pair<std::string, uint32_t>> commandsSent;  // window title, command
    std::vector<std::string> closeRequests;

private:
    const FakeProgram* lookup(const std::map<std::string, FakeProgram>& table, const std::string& path) const;
    FakeMachine& machine_;
    std::map<std::string, FakeProgram> programs_, shellHandlers_;
    std::vector<ProcessEntry> running_;
    bool enumerationFails_ = false;
    struct Window {
        std::string title;
        std::function<void(uint32_t)> onCommand;
    };
    std::map<WindowId, Window> windows_;
    WindowId nextWindow_ = 0x10000;
};

// ---------------------------------------------------------------------------------------------------------
class FakeEnvironment : public Environment {
public:
    std::optional<std::string> executablePath() override { return exePath; }
    std::optional<std::string> variable(const std::string& name, std::size_t bufferChars) override;
    bool setVariable(const std::string& name, const std::optional<std::string>& value) override;
    std::optional<std::string> systemFolder() override { return system; }
    std::optional<std::string> tempFolder(std::size_t bufferChars) override;
    std::optional<std::string> knownFolder(KnownFolder folder) override;
    uint16_t nativeArchitecture() override { return architecture; }
    std::optional<WindowsVersion> windowsVersion() override { return version; }
    int screenDpi() override { return dpi; }

    std::optional<std::string> exePath = std::string("C:\\Installer\\OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe");
    std::map<std::string, std::string> variables;  // by upper-case name
    std::optional<std::string> system = std::string("C:\\windows\\system32");
    std::optional<std::string> temp = std::string("C:\\users\\admin\\Temp\\");
    std::map<KnownFolder, std::string> folders = {
        {KnownFolder::CommonDesktop, "C:\\users\\Public\\Desktop"},
        {KnownFolder::CommonPrograms, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
        {KnownFolder::Documents, "C:\\users\\admin\\Documents"},
    };
    uint16_t architecture = arch::Intel;
    std::optional<WindowsVersion> version = WindowsVersion{6, 1, 7601, "Service Pack 1"};
    int dpi = 96;
};

// ---------------------------------------------------------------------------------------------------------
struct FakeResponse {
    uint32_t status = 200;
    std::map<std::string, std::string> headers;  // by exact name; "Content-Length" is added for bodies
    std::string body;
    bool sendContentLength = true;
    // Called before each read with the bytes delivered so far (lets a test raise an abort flag mid-body).
    std::function<void(std::size_t delivered)> beforeRead;
    // After this many bytes the connection fails with an internet error (cut body); npos = never.
    std::size_t failAfter = std::string::npos;
};

struct FakeRequestRecord {
    std::string server;
    uint16_t port = 0;
    std::string verb;
    std::string object;
    uint32_t flags = 0;
    std::string userAgent;
    int sends = 0;
    std::string headers;  // the extra request headers of the last send
};

class FakeHttp : public Http {
public:
    std::unique_ptr<HttpSession> openSession(const std::string& userAgent) override;

    // Set-up: the answer for "server:port/object" (object as the request carries it, e.g. "/a b/x.exe").
    void serve(const std::string& server, uint16_t port, const std::string& object, FakeResponse response);
    // A server that accepts connections; requests for objects without an answer get 404.
    void addServer(const std::string& server, uint16_t port) { servers_.insert(key(server, port)); }
    // The answer of the credential prompt; after Retry, the second send gets `afterCredentials` when set.
    CredentialAnswer credentialAnswer = CredentialAnswer::Declined;
    std::optional<FakeResponse> afterCredentials;
    int credentialPrompts = 0;
    // Read granularity of the body (the network may deliver less than asked).
    std::size_t maxReadBytes = 64 * 1024;
    // Called at the start of every send with the request (lets a test raise an abort flag while a request
    // is on its way).
    std::function<void(const FakeRequestRecord&)> onSend;
    // When set, answers every send in place of the served answers (a server that looks at the request's
    // headers); nullopt falls back to them.
    std::function<std::optional<FakeResponse>(const FakeRequestRecord&)> respond;

    std::vector<FakeRequestRecord> requests;
    int sessionsOpen = 0, connectionsOpen = 0, requestsOpen = 0;
    int cancels = 0;  // requests cancelled from outside

private:
    friend class FakeHttpSession;
    friend class FakeHttpConnection;
    friend class FakeHttpRequest;
    static std::string key(const std::string& server, uint16_t port);
    std::set<std::string> servers_;
    std::map<std::string, FakeResponse> responses_;
};

// ---------------------------------------------------------------------------------------------------------
class FakeClock : public Clock {
public:
    uint32_t tickCount() override { return ticks; }
    void sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        ticks += ms;
        if (onSleep) onSleep(ms);
    }
    // The fake machine's local time is UTC.
    std::optional<FileTime> localToFileTime(const LocalDateTime& local) override;
    LocalDateTime localNow() override { return readLocalTime ? readLocalTime() : now; }
    uint32_t ticks = 1000;
    LocalDateTime now{2014, 4, 11, 12, 30, 5};
    // When set, answers localNow() instead of now: a clock that moves on between two readings.
    std::function<LocalDateTime()> readLocalTime;
    std::vector<uint32_t> sleeps;
    // Called after each sleep: lets a test change the machine while the engine waits (a window that opens).
    std::function<void(uint32_t ms)> onSleep;
};

class FakeDebugOutput : public DebugOutput {
public:
    void write(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

// INI files read from the fake file system, through the portable reader registered here by the engine's
// list reading code (so the fake answers as the engine's own reader does).
class FakeProfile : public Profile {
public:
    explicit FakeProfile(FakeFileSystem& files) : files_(files) {}
    std::string sectionNames(const std::string& path, std::size_t bufferBytes) override;
    std::string value(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& defaultValue, std::size_t bufferBytes) override;

private:
    FakeFileSystem& files_;
};

class FakeVersionResources : public VersionResources {
public:
    std::optional<FixedVersionInfo> fixedInfo(const std::string& path) override;
    std::vector<uint32_t> translations(const std::string& path) override;
    std::optional<std::string> stringValue(const std::string& path, const std::string& subBlock) override;

    struct Resource {
        FixedVersionInfo fixed;
        std::vector<uint32_t> translations;
        std::map<std::string, std::string> strings;  // by lower-case sub-block
    };
    void set(const std::string& path, Resource resource);

private:
    std::map<std::string, Resource> resources_;
};

class FakeShellLinks : public ShellLinks {
public:
    explicit FakeShellLinks(FakeFileSystem& files) : files_(files) {}
    bool save(const std::string& linkPath, const ShellLink& link) override;
    std::optional<ShellLink> load(const std::string& linkPath) override;

private:
    FakeFileSystem& files_;
    std::map<std::string, ShellLink> links_;
};

// ---------------------------------------------------------------------------------------------------------
class FakeMachine {
public:
    FakeMachine();
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;

    FakeRegistry registry;
    FakeWindowsInstaller msi;
    FakeFileSystem files;
    FakeProcesses processes{*this};
    FakeEnvironment environment;
    FakeHttp http;
    FakeClock clock;
    FakeDebugOutput debug;
    FakeProfile profile{files};
    FakeVersionResources versions;
    FakeShellLinks links{files};

    Machine& machine() { return machine_; }
    operator Machine&() { return machine_; }

private:
    Machine machine_;
};

}  // namespace platform::fake
