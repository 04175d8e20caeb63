// What the installer asks of the machine it runs on.
//
// Each interface mirrors the Win32 calls the installer's rules depend on, at the level those rules need
// them: buffer sizes stay with the caller (a value that does not fit is "unreadable", as on Windows),
// results keep the Win32 meaning (error codes, ShellExecute's result, the attributes bit set).
// platform/win32 implements them with the real API; platform/fake keeps a whole machine in memory.
//
// Nothing here includes <windows.h>: the engine is portable and is unit-tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// ---------------------------------------------------------------------------------------------------------
// Registry. The program is 32-bit: LocalMachine is the default view, which on a 64-bit Windows is the 32-bit
// one (Software below Wow6432Node). LocalMachine64 is the machine's 64-bit view (KEY_WOW64_64KEY), where 64-bit
// products write their machine-wide keys; a 32-bit Windows has one view and ignores the flag. HKCU's Software
// is shared by both views.

enum class Hive { LocalMachine, CurrentUser, LocalMachine64 };

enum RegistryType : uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
};

struct RegistryValue {
    uint32_t type = RegNone;
    std::vector<uint8_t> data;  // exactly the bytes stored; strings keep their terminating zero

    // The value as text: the bytes up to the first zero byte (or all of them).
    std::string text() const;
    // The first 32-bit little-endian word; nullopt when fewer than 4 bytes are stored.
    std::optional<uint32_t> firstDword() const;
};

class Registry {
public:
    virtual ~Registry() = default;
    // RegOpenKeyExA with KEY_READ succeeds.
    virtual bool keyExists(Hive hive, const std::string& key) = 0;
    // RegQueryValueExA into a buffer of bufferBytes. nullopt when the key or the value is missing or the
    // value does not fit into the buffer.
    virtual std::optional<RegistryValue> readValue(Hive hive, const std::string& key, const std::string& name,
                                                   std::size_t bufferBytes) = 0;
    // RegCreateKeyExA (creates missing parents).
    virtual bool createKey(Hive hive, const std::string& key) = 0;
    // RegSetValueExA on a key that must exist (create it first).
    virtual bool writeValue(Hive hive, const std::string& key, const std::string& name,
                            const RegistryValue& value) = 0;
    virtual bool deleteValue(Hive hive, const std::string& key, const std::string& name) = 0;
    // Removes the key with all its sub-keys and values.
    virtual bool deleteKeyTree(Hive hive, const std::string& key) = 0;

    // Conveniences over writeValue.
    bool writeString(Hive hive, const std::string& key, const std::string& name, const std::string& value,
                     uint32_t type = RegSz);
    bool writeDword(Hive hive, const std::string& key, const std::string& name, uint32_t value);
};

// ---------------------------------------------------------------------------------------------------------
// Windows Installer

enum class MsiContext : uint32_t { UserManaged = 1, UserUnmanaged = 2, Machine = 4 };

namespace win32error {
constexpr uint32_t Success = 0;
constexpr uint32_t FileNotFound = 2;
constexpr uint32_t PathNotFound = 3;
constexpr uint32_t AccessDenied = 5;
constexpr uint32_t InvalidParameter = 87;
constexpr uint32_t MoreData = 234;
constexpr uint32_t NoMoreItems = 259;
constexpr uint32_t UnknownProperty = 1608;
constexpr uint32_t UnknownProduct = 1605;
constexpr uint32_t InstallFailure = 1603;
constexpr uint32_t BadConfiguration = 1610;
// Windows Installer's two successes that concern a restart.
constexpr uint32_t SuccessRestartInitiated = 1641;
constexpr uint32_t SuccessRestartRequired = 3010;
// A Windows Installer result that means the change was made (a restart may still be needed or under way).
constexpr bool installerSucceeded(uint32_t result) {
    return result == Success || result == SuccessRestartRequired || result == SuccessRestartInitiated;
}
}  // namespace win32error

class WindowsInstaller {
public:
    virtual ~WindowsInstaller() = default;
    // MsiGetProductInfoExA(code, no SID, context, property) into bufferChars characters (terminator
    // included). nullopt on any failure, including a value that does not fit.
    virtual std::optional<std::string> productInfoEx(const std::string& productCode, MsiContext context,
                                                     const std::string& property, std::size_t bufferChars) = 0;
    // MsiGetProductInfoA(code, property), same buffer rule.
    virtual std::optional<std::string> productInfo(const std::string& productCode, const std::string& property,
                                                   std::size_t bufferChars) = 0;
    // MsiEnumProductsA(index): the Win32 result; productCode is set on success. NoMoreItems ends the walk.
    virtual uint32_t enumProducts(uint32_t index, std::string& productCode) = 0;
    // MsiGetFileVersionA(path) with a version buffer of bufferChars and no language buffer.
    virtual std::optional<std::string> fileVersion(const std::string& path, std::size_t bufferChars) = 0;
    // MsiConfigureProductA(code, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT): the Win32 result.
    virtual uint32_t configureProductAbsent(const std::string& productCode) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Files and folders

namespace attr {
constexpr uint32_t ReadOnly = 0x01;
constexpr uint32_t Hidden = 0x02;
constexpr uint32_t System = 0x04;
constexpr uint32_t Directory = 0x10;
constexpr uint32_t Archive = 0x20;
constexpr uint32_t Normal = 0x80;
}  // namespace attr

namespace moveflag {
constexpr uint32_t ReplaceExisting = 0x1;
constexpr uint32_t CopyAllowed = 0x2;
constexpr uint32_t WriteThrough = 0x8;
}  // namespace moveflag

// A FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
using FileTime = uint64_t;

struct FindEntry {
    std::string name;  // the entry's own name (no folder), as stored
    uint32_t attributes = 0;
    uint64_t size = 0;
    FileTime creationTime = 0;
    FileTime lastWriteTime = 0;
    bool isFolder() const { return (attributes & attr::Directory) != 0; }
};

enum class Access { Read, Write, ReadWrite };
enum class Disposition {
    CreateNew,         // fails when the file exists
    CreateAlways,      // creates or truncates
    OpenExisting,      // fails when the file is missing
    OpenAlways,        // opens or creates, never truncates
};

// An open file: sequential reads and writes; the destructor closes it.
class File {
public:
    virtual ~File() = default;
    // Writes all bytes; false on failure.
    virtual bool write(const void* data, std::size_t size) = 0;
    // Reads up to size bytes; 0 at the end; -1 on failure.
    virtual long long read(void* data, std::size_t size) = 0;
    // SetFilePointerEx(offset, FILE_BEGIN): the next read starts there (archives are read out of order).
    // False on failure; a position past the end is allowed and reads nothing.
    virtual bool seek(uint64_t offset) = 0;
    // GetFileSizeEx; nullopt on failure.
    virtual std::optional<uint64_t> size() = 0;
    virtual bool setTimes(std::optional<FileTime> creation, std::optional<FileTime> lastWrite) = 0;
    virtual bool close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The path names an existing file or folder (wildcards are honoured, on long names only; a folder path
    // with a trailing separator does not match).
    virtual bool exists(const std::string& path) = 0;
    // FindFirstFile/FindNextFile over a pattern such as "C:\dir\*.*". An empty list when nothing matches
    // or the folder is missing; nullopt on any other failure of the search. A name the ANSI code page cannot
    // hold comes in a form that is no real name but that every call of this interface accepts (so that such
    // an entry can still be removed).
    virtual std::optional<std::vector<FindEntry>> find(const std::string& pattern) = 0;
    // GetFileAttributesA; nullopt when the path is missing.
    virtual std::optional<uint32_t> attributes(const std::string& path) = 0;
    virtual bool setAttributes(const std::string& path, uint32_t attributes) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // MoveFileExA with moveflag bits.
    virtual bool moveFile(const std::string& from, const std::string& to, uint32_t flags) = 0;
    virtual bool copyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
    // CreateDirectoryA: the parent must exist.
    virtual bool createFolder(const std::string& path) = 0;
    // RemoveDirectoryA: the folder must be empty.
    virtual bool removeFolder(const std::string& path) = 0;
    // CreateFileA with no sharing (share mode 0); nullptr on failure.
    virtual std::unique_ptr<File> open(const std::string& path, Access access, Disposition disposition) = 0;
    // SetFileTime on a path (files and folders).
    virtual bool setTimes(const std::string& path, std::optional<FileTime> creation,
                          std::optional<FileTime> lastWrite) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Processes and windows

struct ProcessEntry {
    uint32_t id = 0;
    std::string baseName;  // the executable's file name
    std::string fullPath;  // the executable's full path ("" when unreadable)
};

// A started process that can be waited for; the destructor closes the handle (the process runs on).
class Process {
public:
    virtual ~Process() = default;
    // WaitForSingleObject; true when the process has ended within timeoutMs (UINT32_MAX waits forever).
    virtual bool wait(uint32_t timeoutMs) = 0;
    // The exit code once ended; nullopt while it runs or when unreadable.
    virtual std::optional<uint32_t> exitCode() = 0;
};

enum class ShowCommand { Normal, Hidden, Minimized, Maximized };

using WindowId = uintptr_t;  // 0 = none

class Processes {
public:
    virtual ~Processes() = default;
    // Starts program with the complete command line (its first element is the program's own name, as the
    // C run time's spawn builds it). nullptr when the program cannot be started.
    virtual std::unique_ptr<Process> start(const std::string& program, const std::string& commandLine) = 0;
    // ShellExecuteA(no owner, verb, file, parameters, directory, show): its result (> 32 = success).
    virtual intptr_t shellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                               const std::string& directory, ShowCommand show) = 0;
    // ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS; nullptr when nothing could be started or no process
    // handle came back.
    virtual std::unique_ptr<Process> shellExecute(const std::string& verb, const std::string& file,
                                                  const std::string& parameters, const std::string& directory,
                                                  ShowCommand show) = 0;
    // EnumProcesses into maxIds identifiers, then each process that can be opened for query and read, with
    // the names of its first module. nullopt when the enumeration itself fails.
    virtual std::optional<std::vector<ProcessEntry>> list(std::size_t maxIds) = 0;
    // FindWindowA(no class, title).
    virtual WindowId findTopLevelWindow(const std::string& title) = 0;
    // SendMessage WM_COMMAND with the command identifier.
    virtual bool sendCommand(WindowId window, uint32_t commandId) = 0;
    // PostMessage WM_CLOSE.
    virtual bool requestClose(WindowId window) = 0;
    // SendMessageTimeout(HWND_BROADCAST, WM_SETTINGCHANGE, 0, text, SMTO_NORMAL, timeoutMs).
    virtual void broadcastSettingChange(const std::string& text, uint32_t timeoutMs) = 0;
    // Runs task on a thread of its own that nobody joins (a helper that answers another program's windows
    // while the caller waits for that program). An exception thrown by the task ends only the task.
    virtual void startDetached(std::function<void()> task) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Environment

enum class KnownFolder { CommonDesktop, CommonPrograms, Documents };

// PROCESSOR_ARCHITECTURE_* of the native system.
namespace arch {
constexpr uint16_t Intel = 0;
constexpr uint16_t Amd64 = 9;
constexpr uint16_t Unknown = 0xFFFF;
}  // namespace arch

// The version Windows reports of itself.
struct WindowsVersion {
    uint32_t major = 0, minor = 0, build = 0;
    std::string servicePack;  // szCSDVersion: "Service Pack 1", or empty
};

class Environment {
public:
    virtual ~Environment() = default;
    // The program's own path (any length); nullopt when it is unknown or the ANSI code page cannot hold it.
    virtual std::optional<std::string> executablePath() = 0;
    // GetEnvironmentVariableA into bufferChars; nullopt when unset or too long.
    virtual std::optional<std::string> variable(const std::string& name, std::size_t bufferChars) = 0;
    virtual bool setVariable(const std::string& name, const std::optional<std::string>& value) = 0;
    // GetSystemDirectoryA.
    virtual std::optional<std::string> systemFolder() = 0;
    // GetTempPathA into bufferChars (ends with a separator).
    virtual std::optional<std::string> tempFolder(std::size_t bufferChars) = 0;
    // SHGetFolderPathA into 260 characters.
    virtual std::optional<std::string> knownFolder(KnownFolder folder) = 0;
    // wProcessorArchitecture of GetNativeSystemInfo (GetSystemInfo where that is not exported).
    virtual uint16_t nativeArchitecture() = 0;
    // RtlGetVersion (GetVersionExA where ntdll lacks it): the version the system really is, which
    // GetVersionEx hides from a program whose manifest does not name that version. nullopt when neither answers.
    virtual std::optional<WindowsVersion> windowsVersion() = 0;
    // The screen's vertical dots per inch.
    virtual int screenDpi() = 0;
};

// ---------------------------------------------------------------------------------------------------------
// HTTP (one request at a time, WinINet's shape)

namespace httpflag {
constexpr uint32_t Reload = 0x80000000u;           // INTERNET_FLAG_RELOAD
constexpr uint32_t ExistingConnect = 0x20000000u;  // INTERNET_FLAG_EXISTING_CONNECT
constexpr uint32_t NoAutoRedirect = 0x00200000u;   // INTERNET_FLAG_NO_AUTO_REDIRECT
constexpr uint32_t NoCacheWrite = 0x04000000u;     // INTERNET_FLAG_NO_CACHE_WRITE
constexpr uint32_t PragmaNoCache = 0x00000100u;    // INTERNET_FLAG_PRAGMA_NOCACHE
constexpr uint32_t Secure = 0x00800000u;           // INTERNET_FLAG_SECURE (TLS; certificate errors fail)
}  // namespace httpflag

// A failure raised by the internet layer itself (connection refused, name not resolved, time-out, ...).
class InternetError : public std::runtime_error {
public:
    InternetError(uint32_t code, const std::string& text) : std::runtime_error(text), code(code) {}
    uint32_t code;  // the WinINet error
};

enum class CredentialAnswer { Retry, Declined };

// An open request; the destructor closes its handle.
class HttpRequest {
public:
    virtual ~HttpRequest() = default;
    // HttpSendRequestA with no headers and no body. Throws InternetError.
    virtual void send() = 0;
    // The same with extra request headers ("Name: value\r\n" each) and no body. Throws InternetError.
    virtual void sendWithHeaders(const std::string& headers) = 0;
    // HTTP_QUERY_STATUS_CODE. Throws InternetError.
    virtual uint32_t status() = 0;
    // HTTP_QUERY_RAW_HEADERS_CRLF.
    virtual std::string rawHeaders() = 0;
    // HttpQueryInfoA of a named header; nullopt when it is absent.
    virtual std::optional<std::string> header(const std::string& name) = 0;
    // InternetReadFile of up to size bytes; 0 at the end of the body. Throws InternetError.
    virtual std::size_t read(void* data, std::size_t size) = 0;
    // InternetErrorDlg(ERROR_INTERNET_INCORRECT_PASSWORD, generate data | change options).
    virtual CredentialAnswer promptCredentials() = 0;
    // Closes the request handle from any thread, which ends a read that is waiting in another thread (it then
    // throws InternetError). Idempotent; the destructor does not close the handle a second time.
    virtual void cancel() = 0;
};

class HttpConnection {
public:
    virtual ~HttpConnection() = default;
    // HttpOpenRequestA(verb, object, default version, no referrer, no accept types, flags, context 1).
    // Throws InternetError.
    virtual std::unique_ptr<HttpRequest> openRequest(const std::string& verb, const std::string& object,
                                                     uint32_t flags) = 0;
};

class HttpSession {
public:
    virtual ~HttpSession() = default;
    // InternetConnectA(server, port, no user, no password, HTTP). Throws InternetError.
    virtual std::unique_ptr<HttpConnection> connect(const std::string& server, uint16_t port) = 0;
};

class Http {
public:
    virtual ~Http() = default;
    // InternetOpenA(agent, pre-configured access, no proxy, no bypass, no flags). Throws InternetError.
    virtual std::unique_ptr<HttpSession> openSession(const std::string& userAgent) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Time, debugger output

struct LocalDateTime {
    int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // GetTickCount.
    virtual uint32_t tickCount() = 0;
    virtual void sleep(uint32_t ms) = 0;
    // Local time to UTC with the daylight saving in force on that date; nullopt for an invalid date.
    virtual std::optional<FileTime> localToFileTime(const LocalDateTime& local) = 0;
    // GetLocalTime.
    virtual LocalDateTime localNow() = 0;
};

class DebugOutput {
public:
    virtual ~DebugOutput() = default;
    // OutputDebugStringA.
    virtual void write(const std::string& line) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// INI files, version resources, shell links

class Profile {
public:
    virtual ~Profile() = default;
    // GetPrivateProfileSectionNamesA into bufferBytes: the names in file order, each ended by a zero byte,
    // as the function leaves them in the buffer (its returned count of characters).
    virtual std::string sectionNames(const std::string& path, std::size_t bufferBytes) = 0;
    // GetPrivateProfileStringA into bufferBytes.
    virtual std::string value(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t bufferBytes) = 0;
};

struct FixedVersionInfo {
    uint32_t fileVersionMS = 0, fileVersionLS = 0;
    uint32_t productVersionMS = 0, productVersionLS = 0;
    uint32_t fileFlagsMask = 0, fileFlags = 0;
};

class VersionResources {
public:
    virtual ~VersionResources() = default;
    // GetFileVersionInfoA + VerQueryValueA("\"); nullopt when the file has no readable version resource.
    virtual std::optional<FixedVersionInfo> fixedInfo(const std::string& path) = 0;
    // The language/code-page pairs of "\VarFileInfo\Translation", each as (language << 16) | codePage.
    virtual std::vector<uint32_t> translations(const std::string& path) = 0;
    // VerQueryValueA of a string such as "\StringFileInfo\040904b0\PrivateBuild".
    virtual std::optional<std::string> stringValue(const std::string& path, const std::string& subBlock) = 0;
};

struct ShellLink {
    std::string target;
    std::string arguments;
    std::string workingFolder;
};

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    // IShellLinkA SetPath/SetArguments/SetWorkingDirectory + IPersistFile::Save(remember). True when every
    // step succeeded.
    virtual bool save(const std::string& linkPath, const ShellLink& link) = 0;
    // IPersistFile::Load + the getters; nullopt when the link cannot be loaded.
    virtual std::optional<ShellLink> load(const std::string& linkPath) = 0;
};

// ---------------------------------------------------------------------------------------------------------

// The whole machine, as the engine sees it.
struct Machine {
    Registry& registry;
    WindowsInstaller& msi;
    FileSystem& files;
    Processes& processes;
    Environment& environment;
    Http& http;
    Clock& clock;
    DebugOutput& debug;
    Profile& profile;
    VersionResources& versions;
    ShellLinks& links;
};

}  // namespace platform
