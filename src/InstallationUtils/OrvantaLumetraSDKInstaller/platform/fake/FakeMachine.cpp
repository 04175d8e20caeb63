#include "platform/fake/FakeMachine.h"

#include <algorithm>
#include <cctype>

#include "platform/IniText.h"

namespace platform::fake {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::optional<std::string> fitted(const std::string& value, std::size_t bufferChars) {
    if (value.size() + 1 > bufferChars) return std::nullopt;
    return value;
}

std::string parentOf(const std::string& key) {
    std::size_t cut = key.find_last_of('\\');
    return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

std::string nameOf(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// FILE_ATTRIBUTE_REPARSE_POINT: on a folder, a junction or folder symbolic link.
constexpr uint32_t ReparsePoint = 0x400;

}  // namespace

std::string normalizePath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c == '\\' && !out.empty() && out.back() == '\\') continue;
        out.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

bool wildcardMatch(const std::string& pattern, const std::string& name) {
    std::string p = lower(pattern), n = lower(name);
    // "*.*" matches every name, also one without a dot, as on Windows.
    if (p == "*.*") return true;
    std::size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

// ---------------------------------------------------------------------------------------------------------
// Registry

std::string FakeRegistry::keyId(Hive hive, const std::string& key) {
    std::string k = normalizePath(key);
    while (!k.empty() && k.back() == '\\') k.pop_back();
    // The fake is a 64-bit Windows seen by a 32-bit program: its HKLM and HKLM's 64-bit view are apart.
    const char* root = hive == Hive::LocalMachine ? "hklm\\" : hive == Hive::LocalMachine64 ? "hklm64\\" : "hkcu\\";
    return root + k;
}

bool FakeRegistry::keyExists(Hive hive, const std::string& key) { return keys_.count(keyId(hive, key)) != 0; }

std::optional<RegistryValue> FakeRegistry::readValue(Hive hive, const std::string& key, const std::string& name,
                                                     std::size_t bufferBytes) {
    auto k = keys_.find(keyId(hive, key));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.values.find(lower(name));
    if (v == k->second.values.end()) return std::nullopt;
    if (v->second.data.size() > bufferBytes) return std::nullopt;
    return v->second;
}

bool FakeRegistry::createKey(Hive hive, const std::string& key) {
    std::string id = keyId(hive, key);
    // Up to the hive's own name ("hklm", "hklm64", "hkcu"), which is no key.
    while (id.find('\\') != std::string::npos) {
        keys_[id];
        id = parentOf(id);
    }
    return true;
}

bool FakeRegistry::writeValue(Hive hive, const std::string& key, const std::string& name,
                              const RegistryValue& value) {
    auto k = keys_.find(keyId(hive, key));
    if (k == keys_.end()) return false;
    k->second.values[lower(name)] = value;
    return true;
}

bool FakeRegistry::deleteValue(Hive hive, const std::string& key, const std::string& name) {
    auto k = keys_.find(keyId(hive, key));
    if (k == keys_.end()) return false;
    return k->second.values.erase(lower(name)) != 0;
}

bool FakeRegistry::deleteKeyTree(Hive hive, const std::string& key) {
    std::string id = keyId(hive, key);
    bool any = false;
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == id || it->first.rfind(id + "\\", 0) == 0) {
            it = keys_.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any;
}

void FakeRegistry::setString(Hive hive, const std::string& key, const std::string& name, const std::string& value) {
    createKey(hive, key);
    writeString(hive, key, name, value);
}

void FakeRegistry::setDword(Hive hive, const std::string& key, const std::string& name, uint32_t value) {
    createKey(hive, key);
    writeDword(hive, key, name, value);
}

// ---------------------------------------------------------------------------------------------------------
// Windows Installer

FakeWindowsInstaller::Registration* FakeWindowsInstaller::find(const std::string& code) {
    for (auto& r : products_)
        if (upper(r.code) == upper(code)) return &r;
    return nullptr;
}

bool FakeWindowsInstaller::isRegistered(const std::string& code) const {
    for (auto& r : products_)
        if (upper(r.code) == upper(code) && !r.contexts.empty()) return true;
    return false;
}

namespace {
std::optional<std::string> productProperty(const FakeProduct& p, const std::string& property) {
    if (property == "VersionString") return p.version;
    if (property == "InstalledProductName" || property == "ProductName") return p.name;
    auto it = p.otherProperties.find(property);
    if (it != p.otherProperties.end()) return it->second;
    return std::nullopt;
}
}  // namespace

std::optional<std::string> FakeWindowsInstaller::productInfoEx(const std::string& productCode, MsiContext context,
                                                               const std::string& property,
                                                               std::size_t bufferChars) {
    Registration* r = find(productCode);
    if (!r) return std::nullopt;
    auto c = r->contexts.find(context);
    if (c == r->contexts.end()) return std::nullopt;
    auto value = productProperty(c->second, property);
    if (!value) return std::nullopt;
    return fitted(*value, bufferChars);
}

std::optional<std::string> FakeWindowsInstaller::productInfo(const std::string& productCode,
                                                             const std::string& property, std::size_t bufferChars) {
    // MsiGetProductInfo looks in the user's managed and unmanaged installations, then the machine's.
    for (MsiContext c : {MsiContext::UserManaged, MsiContext::UserUnmanaged, MsiContext::Machine})
        if (auto v = productInfoEx(productCode, c, property, bufferChars)) return v;
    return std::nullopt;
}

uint32_t FakeWindowsInstaller::enumProducts(uint32_t index, std::string& productCode) {
    if (index >= products_.size()) return win32error::NoMoreItems;
    auto f = enumFailures_.find(index);
    if (f != enumFailures_.end()) return f->second;
    productCode = products_[index].code;
    return win32error::Success;
}

std::optional<std::string> FakeWindowsInstaller::fileVersion(const std::string& path, std::size_t bufferChars) {
    auto it = fileVersions_.find(normalizePath(path));
    if (it == fileVersions_.end()) return std::nullopt;
    return fitted(it->second, bufferChars);
}

uint32_t FakeWindowsInstaller::configureProductAbsent(const std::string& productCode) {
    if (!isRegistered(productCode)) return win32error::UnknownProduct;
    auto set = removalResults_.find(productCode);
    const uint32_t result = set == removalResults_.end() ? win32error::Success : set->second;
    if (win32error::installerSucceeded(result)) unregisterProduct(productCode);
    return result;
}

void FakeWindowsInstaller::registerProduct(const std::string& code, MsiContext context, const FakeProduct& product) {
    Registration* r = find(code);
    if (!r) {
        products_.push_back(Registration{code, {}});
        r = &products_.back();
    }
    r->contexts[context] = product;
}

void FakeWindowsInstaller::unregisterProduct(const std::string& code) {
    products_.erase(std::remove_if(products_.begin(), products_.end(),
                                   [&](const Registration& r) { return upper(r.code) == upper(code); }),
                    products_.end());
}

void FakeWindowsInstaller::setFileVersion(const std::string& path, const std::string& version) {
    fileVersions_[normalizePath(path)] = version;
}

// ---------------------------------------------------------------------------------------------------------
// Files

class FakeFile : public File {
public:
    FakeFile(FakeFileSystem& fs, std::string key, Access access) : fs_(fs), key_(std::move(key)), access_(access) {
        fs_.node(key_)->openHandles++;
    }
    ~FakeFile() override { close(); }
    bool write(const void* data, std::size_t size) override {
        auto* n = live();
        if (!n || access_ == Access::Read || fs_.injected("write", n->path)) return false;
        n->data->append(static_cast<const char*>(data), size);
        n->lastWriteTime = fs_.nextTime_++;
        return true;
    }
    long long read(void* data, std::size_t size) override {
        auto* n = live();
        if (!n || access_ == Access::Write) return -1;
        std::size_t left = n->data->size() - std::min(position_, n->data->size());
        std::size_t count = std::min(size, left);
        if (count == 0) return 0;
        std::copy_n(n->data->data() + position_, count, static_cast<char*>(data));
        position_ += count;
        return static_cast<long long>(count);
    }
    // Moves the read position only: writes still append, which is all the engine does with written files.
    bool seek(uint64_t offset) override {
        if (!live()) return false;
        position_ = static_cast<std::size_t>(offset);
        return true;
    }
    std::optional<uint64_t> size() override {
        auto* n = live();
        if (!n) return std::nullopt;
        return n->data->size();
    }
    bool setTimes(std::optional<FileTime> creation, std::optional<FileTime> lastWrite) override {
        auto* n = live();
        if (!n) return false;
        if (creation) n->creationTime = *creation;
        if (lastWrite) n->lastWriteTime = *lastWrite;
        return true;
    }
    bool close() override {
        if (closed_) return false;
        closed_ = true;
        if (auto* n = fs_.node(key_)) n->openHandles--;
        return true;
    }

private:
    FakeFileSystem::Node* live() { return closed_ ? nullptr : fs_.node(key_); }
    FakeFileSystem& fs_;
    std::string key_;
    Access access_;
    std::size_t position_ = 0;
    bool closed_ = false;
};

FakeFileSystem::FakeFileSystem() {
    for (const char* drive : {"C:", "D:", "Z:"}) {
        Node n;
        n.path = drive;
        n.folder = true;
        n.attributes = attr::Directory;
        nodes_[normalizePath(drive)] = n;
    }
}

bool FakeFileSystem::injected(const std::string& op, const std::string& path) {
    journal.push_back(op + " " + path);
    return fault && fault(op, path);
}

FakeFileSystem::Node* FakeFileSystem::node(const std::string& path) {
    auto it = nodes_.find(normalizePath(path));
    return it == nodes_.end() || it->second.detached ? nullptr : &it->second;
}

const FakeFileSystem::Node* FakeFileSystem::node(const std::string& path) const {
    auto it = nodes_.find(normalizePath(path));
    return it == nodes_.end() || it->second.detached ? nullptr : &it->second;
}

bool FakeFileSystem::parentIsFolder(const std::string& key) const {
    std::string parent = parentOf(key);
    if (parent.empty()) return false;
    auto it = nodes_.find(parent);
    return it != nodes_.end() && it->second.folder;
}

bool FakeFileSystem::exists(const std::string& path) {
    auto found = find(path);
    return found && !found->empty();
}

std::optional<std::vector<FindEntry>> FakeFileSystem::find(const std::string& pattern) {
    if (injected("find", pattern)) return std::nullopt;
    std::vector<FindEntry> out;
    std::string key = normalizePath(pattern);
    if (key.empty() || key.back() == '\\') return out;  // a trailing separator finds nothing
    std::string folder = parentOf(key);
    std::string namePattern = nameOf(key);
    if (folder.empty()) return out;  // a bare drive ("C:") is not an entry
    auto parent = nodes_.find(folder);
    if (parent == nodes_.end() || !parent->second.folder) return out;
    for (auto it = nodes_.lower_bound(folder + "\\"); it != nodes_.end(); ++it) {
        if (it->first.compare(0, folder.size() + 1, folder + "\\") != 0) break;
        if (parentOf(it->first) != folder || it->second.detached) continue;
        std::string name = nameOf(it->second.path);
        if (!wildcardMatch(namePattern, name)) continue;
        FindEntry e;
        e.name = name;
        e.attributes = it->second.attributes;
        e.size = it->second.folder ? 0 : it->second.data->size();
        e.creationTime = it->second.creationTime;
        e.lastWriteTime = it->second.lastWriteTime;
        out.push_back(e);
    }
    // A search for a pattern with wildcards also lists "." and ".." of a folder, as Windows does.
    if (namePattern == "*" || namePattern == "*.*") {
        FindEntry dot;
        dot.name = ".";
        dot.attributes = attr::Directory;
        FindEntry dotdot = dot;
        dotdot.name = "..";
        out.insert(out.begin(), {dot, dotdot});
    }
    return out;
}

std::optional<uint32_t> FakeFileSystem::attributes(const std::string& path) {
    const Node* n = node(path);
    if (!n) return std::nullopt;
    return n->attributes;
}

bool FakeFileSystem::setAttributes(const std::string& path, uint32_t attributes) {
    Node* n = node(path);
    if (!n || injected("setAttributes", path)) return false;
    n->attributes = (attributes & ~attr::Directory) | (n->folder ? attr::Directory : 0);
    if (n->attributes == 0) n->attributes = attr::Normal;
    return true;
}

bool FakeFileSystem::deleteFile(const std::string& path) {
    if (injected("delete", path)) return false;
    Node* n = node(path);
    if (!n || n->folder || (n->attributes & attr::ReadOnly) || n->openHandles > 0) return false;
    nodes_.erase(normalizePath(path));
    return true;
}

bool FakeFileSystem::moveFile(const std::string& from, const std::string& to, uint32_t flags) {
    if (injected("move", from + " -> " + to)) return false;
    std::string fromKey = normalizePath(from), toKey = normalizePath(to);
    Node* source = node(from);
    if (!source || source->openHandles > 0 || !parentIsFolder(toKey)) return false;
    if (fromKey == toKey) return true;
    if (Node* target = node(to)) {
        if (!(flags & moveflag::ReplaceExisting) || target->folder || (target->attributes & attr::ReadOnly) ||
            target->openHandles > 0)
            return false;
    }
    if (source->folder) {
        // Folders move with everything below them.
        std::vector<std::pair<std::string, Node>> moved;
        for (auto it = nodes_.begin(); it != nodes_.end();) {
            if (it->first == fromKey || it->first.rfind(fromKey + "\\", 0) == 0) {
                Node n = it->second;
                std::string rest = it->first.substr(fromKey.size());
                n.path = to + n.path.substr(from.size());
                moved.emplace_back(toKey + rest, n);
                it = nodes_.erase(it);
            } else {
                ++it;
            }
        }
        for (auto& m : moved) nodes_[m.first] = m.second;
        return true;
    }
    Node n = *source;
    nodes_.erase(fromKey);
    n.path = to;
    nodes_[toKey] = n;
    return true;
}

bool FakeFileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    if (injected("copy", from + " -> " + to)) return false;
    Node* source = node(from);
    std::string toKey = normalizePath(to);
    if (!source || source->folder || !parentIsFolder(toKey)) return false;
    if (Node* target = node(to)) {
        if (failIfExists || target->folder || (target->attributes & attr::ReadOnly)) return false;
    }
    Node n;
    n.path = to;
    n.attributes = source->attributes;
    n.data = std::make_shared<std::string>(*source->data);
    n.creationTime = nextTime_++;
    n.lastWriteTime = source->lastWriteTime;
    nodes_[toKey] = n;
    return true;
}

bool FakeFileSystem::createFolder(const std::string& path) {
    if (injected("createFolder", path)) return false;
    std::string key = normalizePath(path);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    if (nodes_.count(key) || !parentIsFolder(key)) return false;
    if (nodes_[parentOf(key)].writeProtected) return false;
    Node n;
    n.path = path;
    while (!n.path.empty() && (n.path.back() == '\\' || n.path.back() == '/')) n.path.pop_back();
    n.folder = true;
    n.attributes = attr::Directory;
    n.creationTime = n.lastWriteTime = nextTime_++;
    nodes_[key] = n;
    return true;
}

bool FakeFileSystem::removeFolder(const std::string& path) {
    if (injected("removeFolder", path)) return false;
    std::string key = normalizePath(path);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    auto it = nodes_.find(key);
    if (it == nodes_.end() || !it->second.folder || it->second.detached || parentOf(key).empty()) return false;
    // A link goes whatever its target holds; a folder only when empty (a removed link inside does not count).
    bool empty = true;
    for (auto below = nodes_.lower_bound(key + "\\"); below != nodes_.end(); ++below) {
        if (below->first.compare(0, key.size() + 1, key + "\\") != 0) break;
        if (parentOf(below->first) == key && !below->second.detached) empty = false;
    }
    if (!empty && (it->second.attributes & ReparsePoint)) {
        it->second.detached = true;
        return true;
    }
    if (!empty) return false;
    nodes_.erase(it);
    return true;
}

std::unique_ptr<File> FakeFileSystem::open(const std::string& path, Access access, Disposition disposition) {
    if (injected("open", path)) return nullptr;
    std::string key = normalizePath(path);
    Node* n = node(path);
    if (n) {
        if (n->folder || n->openHandles > 0) return nullptr;  // no sharing
        if (disposition == Disposition::CreateNew) return nullptr;
        if (access != Access::Read && (n->attributes & attr::ReadOnly)) return nullptr;
        if (disposition == Disposition::CreateAlways) {
            n->data = std::make_shared<std::string>();
            n->lastWriteTime = nextTime_++;
        }
    } else {
        if (disposition == Disposition::OpenExisting) return nullptr;
        if (!parentIsFolder(key) || nodes_[parentOf(key)].writeProtected) return nullptr;
        Node created;
        created.path = path;
        created.creationTime = created.lastWriteTime = nextTime_++;
        nodes_[key] = created;
    }
    return std::make_unique<FakeFile>(*this, key, access);
}

bool FakeFileSystem::setTimes(const std::string& path, std::optional<FileTime> creation,
                              std::optional<FileTime> lastWrite) {
    Node* n = node(path);
    if (!n) return false;
    if (creation) n->creationTime = *creation;
    if (lastWrite) n->lastWriteTime = *lastWrite;
    return true;
}

void FakeFileSystem::addFolder(const std::string& path) {
    std::string key = normalizePath(path);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    std::vector<std::string> chain;
    for (std::string k = key; !k.empty() && !nodes_.count(k); k = parentOf(k)) chain.push_back(k);
    std::string original = path;
    while (!original.empty() && (original.back() == '\\' || original.back() == '/')) original.pop_back();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        Node n;
        n.path = original.substr(0, it->size());
        n.folder = true;
        n.attributes = attr::Directory;
        n.creationTime = n.lastWriteTime = nextTime_++;
        nodes_[*it] = n;
    }
}

void FakeFileSystem::addFile(const std::string& path, const std::string& content, uint32_t attributes) {
    std::string key = normalizePath(path);
    addFolder(path.substr(0, parentOf(key).size()));
    Node n;
    n.path = path;
    n.attributes = attributes;
    n.data = std::make_shared<std::string>(content);
    n.creationTime = n.lastWriteTime = nextTime_++;
    nodes_[key] = n;
}

std::optional<std::string> FakeFileSystem::content(const std::string& path) const {
    const Node* n = node(path);
    if (!n || n->folder) return std::nullopt;
    return *n->data;
}

bool FakeFileSystem::isFolder(const std::string& path) const {
    const Node* n = node(path);
    return n && n->folder;
}

std::vector<std::string> FakeFileSystem::tree(const std::string& root) const {
    std::string key = normalizePath(root);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    std::vector<std::string> out;
    for (auto& [k, n] : nodes_)
        if (k == key || k.rfind(key + "\\", 0) == 0) out.push_back(n.path);
    return out;
}

void FakeFileSystem::writeProtect(const std::string& folder) {
    addFolder(folder);
    node(folder)->writeProtected = true;
}

// ---------------------------------------------------------------------------------------------------------
// Processes

namespace {
class FinishedProcess : public Process {
public:
    explicit FinishedProcess(uint32_t code) : code_(code) {}
    bool wait(uint32_t) override { return true; }
    std::optional<uint32_t> exitCode() override { return code_; }

private:
    uint32_t code_;
};
}  // namespace

const FakeProgram* FakeProcesses::lookup(const std::map<std::string, FakeProgram>& table,
                                         const std::string& path) const {
    auto it = table.find(normalizePath(path));
    if (it != table.end()) return &it->second;
    it = table.find(normalizePath(nameOf(path)));
    if (it != table.end()) return &it->second;
    return nullptr;
}

std::unique_ptr<Process> FakeProcesses::start(const std::string& program, const std::string& commandLine) {
    started.push_back({program, commandLine});
    const FakeProgram* behaviour = lookup(programs_, program);
    if (!behaviour) {
        // An unknown program starts only when its file is there, and then does nothing.
        if (!machine_.files.exists(program)) return nullptr;
        return std::make_unique<FinishedProcess>(0);
    }
    return std::make_unique<FinishedProcess>((*behaviour)(machine_, commandLine));
}

intptr_t FakeProcesses::shellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                                  const std::string& directory, ShowCommand) {
    shellCalls.push_back({verb, file, parameters, directory});
    if (const FakeProgram* behaviour = lookup(shellHandlers_, file))
        return static_cast<intptr_t>((*behaviour)(machine_, parameters));
    if (file.rfind("http://", 0) == 0 || file.rfind("https://", 0) == 0) return 42;
    return machine_.files.exists(file) ? 42 : 2;
}

std::unique_ptr<Process> FakeProcesses::shellExecute(const std::string& verb, const std::string& file,
                                                     const std::string& parameters, const std::string& directory,
                                                     ShowCommand) {
    shellCalls.push_back({verb, file, parameters, directory});
    if (const FakeProgram* behaviour = lookup(shellHandlers_, file))
        return std::make_unique<FinishedProcess>((*behaviour)(machine_, parameters));
    if (const FakeProgram* behaviour = lookup(programs_, file))
        return std::make_unique<FinishedProcess>((*behaviour)(machine_, parameters));
    if (!machine_.files.exists(file)) return nullptr;
    return std::make_unique<FinishedProcess>(0);
}

std::optional<std::vector<ProcessEntry>> FakeProcesses::list(std::size_t maxIds) {
    if (enumerationFails_) return std::nullopt;
    std::vector<ProcessEntry> out(running_.begin(), running_.begin() + std::min(maxIds, running_.size()));
    return out;
}

WindowId FakeProcesses::findTopLevelWindow(const std::string& title) {
    for (auto& [id, w] : windows_)
        if (w.title == title) return id;
    return 0;
}

bool FakeProcesses::sendCommand(WindowId window, uint32_t commandId) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return false;
    commandsSent.emplace_back(it->second.title, commandId);
    if (it->second.onCommand) it->second.onCommand(commandId);
    return true;
}

bool FakeProcesses::requestClose(WindowId window) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return false;
    closeRequests.push_back(it->second.title);
    windows_.erase(it);
    return true;
}

void FakeProcesses::broadcastSettingChange(const std::string& text, uint32_t) { settingBroadcasts.push_back(text); }

void FakeProcesses::runDetachedTasks() {
    std::vector<std::function<void()>> tasks;
    tasks.swap(detachedTasks);
    for (auto& task : tasks) {
        try {
            task();
        } catch (...) {
        }
    }
}

void FakeProcesses::onStart(const std::string& program, FakeProgram behaviour) {
    programs_[normalizePath(program)] = std::move(behaviour);
}

void FakeProcesses::onShellOpen(const std::string& file, FakeProgram behaviour) {
    shellHandlers_[normalizePath(file)] = std::move(behaviour);
}

void FakeProcesses::addRunning(const std::string& fullPath, uint32_t id) {
    ProcessEntry e;
    e.id = id ? id : uint32_t(4 * (running_.size() + 10));
    e.baseName = nameOf(fullPath);
    e.fullPath = fullPath;
    running_.push_back(e);
}

WindowId FakeProcesses::addWindow(const std::string& title, std::function<void(uint32_t)> onCommand) {
    WindowId id = nextWindow_++;
    windows_[id] = Window{title, std::move(onCommand)};
    return id;
}

void FakeProcesses::removeWindow(const std::string& title) {
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (it->second.title == title)
            it = windows_.erase(it);
        else
            ++it;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Environment

std::optional<std::string> FakeEnvironment::variable(const std::string& name, std::size_t bufferChars) {
    auto it = variables.find(upper(name));
    if (it == variables.end()) return std::nullopt;
    return fitted(it->second, bufferChars);
}

bool FakeEnvironment::setVariable(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        variables[upper(name)] = *value;
    else
        variables.erase(upper(name));
    return true;
}

std::optional<std::string> FakeEnvironment::tempFolder(std::size_t bufferChars) {
    if (!temp) return std::nullopt;
    return fitted(*temp, bufferChars);
}

std::optional<std::string> FakeEnvironment::knownFolder(KnownFolder folder) {
    auto it = folders.find(folder);
    if (it == folders.end()) return std::nullopt;
    return it->second;
}

// ---------------------------------------------------------------------------------------------------------
// HTTP

std::string FakeHttp::key(const std::string& server, uint16_t port) { return lower(server) + ":" + std::to_string(port); }

void FakeHttp::serve(const std::string& server, uint16_t port, const std::string& object, FakeResponse response) {
    addServer(server, port);
    responses_[key(server, port) + object] = std::move(response);
}

class FakeHttpRequest : public HttpRequest {
public:
    FakeHttpRequest(FakeHttp& http, std::size_t record) : http_(http), record_(record) { http_.requestsOpen++; }
    ~FakeHttpRequest() override { http_.requestsOpen--; }

    void send() override { sendWithHeaders(std::string()); }
    void sendWithHeaders(const std::string& headers) override {
        if (cancelled_) throw InternetError(12017, "The operation was canceled");
        FakeRequestRecord& r = http_.requests[record_];
        r.headers = headers;
        if (http_.onSend) http_.onSend(r);
        std::string k = FakeHttp::key(r.server, r.port);
        if (!http_.servers_.count(k)) throw InternetError(12029, "A connection with the server could not be established");
        r.sends++;
        std::optional<FakeResponse> answer = http_.respond ? http_.respond(r) : std::nullopt;
        if (answer) {
            response_ = *answer;
        } else if (r.sends > 1 && http_.afterCredentials) {
            response_ = *http_.afterCredentials;
        } else {
            auto it = http_.responses_.find(k + r.object);
            if (it != http_.responses_.end()) {
                response_ = it->second;
            } else {
                response_ = FakeResponse{};
                response_.status = 404;
                response_.body = "not found";
            }
        }
        if (response_.sendContentLength && !response_.headers.count("Content-Length"))
            response_.headers["Content-Length"] = std::to_string(response_.body.size());
        sent_ = true;
        delivered_ = 0;
    }
    uint32_t status() override {
        if (!sent_) throw InternetError(12019, "The requested operation is invalid");
        return response_.status;
    }
    std::string rawHeaders() override {
        std::string out = "HTTP/1.1 " + std::to_string(response_.status) + " Fake\r\n";
        for (auto& [n, v] : response_.headers) out += n + ": " + v + "\r\n";
        return out + "\r\n";
    }
    std::optional<std::string> header(const std::string& name) override {
        for (auto& [n, v] : response_.headers)
            if (lower(n) == lower(name)) return v;
        return std::nullopt;
    }
    std::size_t read(void* data, std::size_t size) override {
        if (response_.beforeRead) response_.beforeRead(delivered_);
        if (cancelled_) throw InternetError(12017, "The operation was canceled");
        if (delivered_ >= response_.failAfter) throw InternetError(12030, "The connection with the server was terminated abnormally");
        std::size_t limit = std::min({size, http_.maxReadBytes, response_.body.size() - delivered_});
        if (response_.failAfter != std::string::npos) limit = std::min(limit, response_.failAfter - delivered_);
        std::copy_n(response_.body.data() + delivered_, limit, static_cast<char*>(data));
        delivered_ += limit;
        return limit;
    }
    CredentialAnswer promptCredentials() override {
        http_.credentialPrompts++;
        return http_.credentialAnswer;
    }
    void cancel() override {
        if (!cancelled_) http_.cancels++;
        cancelled_ = true;
    }

private:
    FakeHttp& http_;
    std::size_t record_;
    bool cancelled_ = false;
    FakeResponse response_;
    bool sent_ = false;
    std::size_t delivered_ = 0;
};

class FakeHttpConnection : public HttpConnection {
public:
    FakeHttpConnection(FakeHttp& http, std::string agent, std::string server, uint16_t port)
        : http_(http), agent_(std::move(agent)), server_(std::move(server)), port_(port) {
        http_.connectionsOpen++;
    }
    ~FakeHttpConnection() override { http_.connectionsOpen--; }
    std::unique_ptr<HttpRequest> openRequest(const std::string& verb, const std::string& object,
                                             uint32_t flags) override {
        FakeRequestRecord r;
        r.server = server_;
        r.port = port_;
        r.verb = verb;
        r.object = object;
        r.flags = flags;
        r.userAgent = agent_;
        http_.requests.push_back(r);
        return std::make_unique<FakeHttpRequest>(http_, http_.requests.size() - 1);
    }

private:
    FakeHttp& http_;
    std::string agent_, server_;
    uint16_t port_;
};

class FakeHttpSession : public HttpSession {
public:
    FakeHttpSession(FakeHttp& http, std::string agent) : http_(http), agent_(std::move(agent)) { http_.sessionsOpen++; }
    ~FakeHttpSession() override { http_.sessionsOpen--; }
    std::unique_ptr<HttpConnection> connect(const std::string& server, uint16_t port) override {
        // WinINet connects lazily: an unreachable server fails at send time.
        return std::make_unique<FakeHttpConnection>(http_, agent_, server, port);
    }

private:
    FakeHttp& http_;
    std::string agent_;
};

std::unique_ptr<HttpSession> FakeHttp::openSession(const std::string& userAgent) {
    return std::make_unique<FakeHttpSession>(*this, userAgent);
}

// ---------------------------------------------------------------------------------------------------------
// Clock

std::optional<FileTime> FakeClock::localToFileTime(const LocalDateTime& t) {
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59 ||
        t.year < 1601)
        return std::nullopt;
    // Days from 1601-01-01 (civil calendar arithmetic).
    auto daysFromCivil = [](long long y, unsigned m, unsigned d) {
        y -= m <= 2;
        const long long era = (y >= 0 ? y : y - 399) / 400;
        const unsigned yoe = static_cast<unsigned>(y - era * 400);
        const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + static_cast<long long>(doe);
    };
    long long days = daysFromCivil(t.year, t.month, t.day) - daysFromCivil(1601, 1, 1);
    long long seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    return static_cast<FileTime>(seconds) * 10000000ull;
}

// ---------------------------------------------------------------------------------------------------------
// Profile, version resources, links

std::string FakeProfile::sectionNames(const std::string& path, std::size_t bufferBytes) {
    auto text = files_.content(path);
    return text ? ini::sectionNames(*text, bufferBytes) : std::string();
}

std::string FakeProfile::value(const std::string& path, const std::string& section, const std::string& key,
                               const std::string& defaultValue, std::size_t bufferBytes) {
    auto text = files_.content(path);
    return ini::value(text ? *text : std::string(), section, key, defaultValue, bufferBytes);
}

std::optional<FixedVersionInfo> FakeVersionResources::fixedInfo(const std::string& path) {
    auto it = resources_.find(normalizePath(path));
    if (it == resources_.end()) return std::nullopt;
    return it->second.fixed;
}

std::vector<uint32_t> FakeVersionResources::translations(const std::string& path) {
    auto it = resources_.find(normalizePath(path));
    if (it == resources_.end()) return {};
    return it->second.translations;
}

std::optional<std::string> FakeVersionResources::stringValue(const std::string& path, const std::string& subBlock) {
    auto it = resources_.find(normalizePath(path));
    if (it == resources_.end()) return std::nullopt;
    auto s = it->second.strings.find(lower(subBlock));
    if (s == it->second.strings.end()) return std::nullopt;
    return s->second;
}

void FakeVersionResources::set(const std::string& path, Resource resource) {
    std::map<std::string, std::string> strings;
    for (auto& [k, v] : resource.strings) strings[lower(k)] = v;
    resource.strings = strings;
    resources_[normalizePath(path)] = std::move(resource);
}

bool FakeShellLinks::save(const std::string& linkPath, const ShellLink& link) {
    auto file = files_.open(linkPath, Access::Write, Disposition::CreateAlways);
    if (!file) return false;
    std::string body = "LNK\n" + link.target + "\n" + link.arguments + "\n" + link.workingFolder + "\n";
    bool ok = file->write(body.data(), body.size()) && file->close();
    if (ok) links_[normalizePath(linkPath)] = link;
    return ok;
}

std::optional<ShellLink> FakeShellLinks::load(const std::string& linkPath) {
    if (!files_.exists(linkPath)) return std::nullopt;
    auto it = links_.find(normalizePath(linkPath));
    if (it == links_.end()) return std::nullopt;
    return it->second;
}

// ---------------------------------------------------------------------------------------------------------

FakeMachine::FakeMachine()
    : machine_{registry, msi, files, processes, environment, http, clock, debug, profile, versions, links} {}

}  // namespace platform::fake
