// Machine states for the detection tests under Wine, set up for real: the stand-in packages
// (FIXTURES/standins) installed per machine or per user with msiexec, Uninstall keys written under HKLM or
// HKCU, module folders unpacked below the Runtime folder. Every test starts from a machine without any
// stand-in product and leaves it that way, whatever an earlier interrupted run left behind.
#pragma once

#include "PlatformTestSupport.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/FileUtils.h"
#include "components/ComponentInfo.h"
#include "components/InstallManagerBase.h"
#include "components/InstalledTable.h"
#include "components/Probes.h"
#include "components/StatusRules.h"
#include "components/UninstallKeys.h"
#include "components/unzip/Unzipper.h"
#include "platform/win32/Win32Machine.h"

namespace detection_test {

struct StandIn {
    std::string package;  // full path of the .msi
    std::string code;
    std::string name;
    std::string version;
};

class DetectionTest : public ::testing::Test {
protected:
    platform::Machine& machine = platform::win32::realMachine();

    void SetUp() override {
        const std::string fixtures = platform_test::fixturesFolder();
        ASSERT_FALSE(fixtures.empty()) << "INSTALLER_FIXTURES is not set";
        standIns_ = fixtures + "\\standins";
        std::ifstream manifest(standIns_ + "\\manifest.tsv");
        ASSERT_TRUE(manifest) << standIns_ << "\\manifest.tsv is missing: run tests/fixtures/generate.sh";
        std::string line;
        std::getline(manifest, line);  // column names
        while (std::getline(manifest, line)) {
            std::vector<std::string> fields;
            std::stringstream columns(line);
            for (std::string field; std::getline(columns, field, '\t');) fields.push_back(field);
            if (fields.size() < 6) continue;
            std::string package = fields[1];
            for (char& c : package)
                if (c == '/') c = '\\';
            products_[fields[0]] = {standIns_ + "\\" + package, fields[2], fields[3], fields[4]};
        }
        ASSERT_FALSE(products_.empty());
        ASSERT_NO_FATAL_FAILURE(cleanMachine());
    }

    void TearDown() override { cleanMachine(); }

    // ---- products ----------------------------------------------------------------------------------------

    const StandIn& standIn(const std::string& slug) {
        auto it = products_.find(slug);
        if (it == products_.end()) throw std::runtime_error("no stand-in " + slug);
        return it->second;
    }

    void install(const std::string& slug) {
        const StandIn& p = standIn(slug);
        ASSERT_TRUE(platform_test::pathPresent(p.package)) << p.package;
        ASSERT_EQ(msiexec("/i \"" + p.package + "\" /passive"), 0u) << slug;
        ASSERT_TRUE(components::msiRegistered(machine, p.code)) << slug;
    }

    void uninstall(const std::string& slug) {
        const StandIn& p = standIn(slug);
        ASSERT_EQ(msiexec("/x \"" + p.package + "\" /passive"), 0u) << slug;
    }

    // ---- registry ----------------------------------------------------------------------------------------

    static void writeUninstallValue(HKEY hive, const std::string& key, const std::string& name,
                                    const std::string& text) {
        writeString(hive, std::string(components::UninstallRoot) + key, name, text);
    }

    static void writeString(HKEY hive, const std::string& key, const std::string& name, const std::string& text) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr), ERROR_SUCCESS)
            << key;
        LONG result = RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                     DWORD(text.size() + 1));
        RegCloseKey(handle);
        ASSERT_EQ(result, ERROR_SUCCESS) << key << " " << name;
    }

    static void writeDword(HKEY hive, const std::string& key, const std::string& name, DWORD value) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr), ERROR_SUCCESS);
        LONG result = RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        RegCloseKey(handle);
        ASSERT_EQ(result, ERROR_SUCCESS);
    }

    static void deleteKey(HKEY hive, const std::string& key) {
        RegDeleteTreeA(hive, key.c_str());
        RegDeleteKeyA(hive, key.c_str());
    }

    // ---- files -------------------------------------------------------------------------------------------

    std::string archive(const std::string& name) { return standIns_ + "\\archives\\" + name; }

    std::string runtimeFolder() {
        auto folder = components::getRuntimeFolder(machine);
        return folder ? *folder : std::string();
    }

    // Unpacks a stand-in archive into folder (created when missing).
    void unpack(const std::string& archiveName, const std::string& folder) {
        ASSERT_TRUE(platform_test::pathPresent(archive(archiveName))) << archive(archiveName);
        ASSERT_TRUE(extractArchive(machine, archive(archiveName), folder)) << archiveName << " into " << folder;
    }

    static std::string programFiles() {
        char value[MAX_PATH] = {};
        GetEnvironmentVariableA("ProgramFiles", value, MAX_PATH);
        return value;
    }

    // ---- what the installer shows ------------------------------------------------------------------------

    std::string status(const std::string& displayName) {
        std::string name, text, action;
        dvInstallManagerBase manager;
        manager.setComponents({dvComponentInfo(displayName, "", "", "", "", false, false, &name, &text, &action, "")});
        components::refreshStatuses(machine, manager, 0, 0);
        return text;
    }

    bool installed(const std::string& displayName) { return components::isInstalled(machine, displayName); }

private:
    std::optional<uint32_t> msiexec(const std::string& arguments) {
        std::string program = machine.environment.systemFolder().value_or("C:\\windows\\system32") + "\\msiexec.exe";
        auto process = machine.processes.start(program, "\"" + program + "\" " + arguments);
        if (!process || !process->wait(180000)) return std::nullopt;
        return process->exitCode();
    }

    // No stand-in product registered, none of the Uninstall keys the probes read, no Dalvoren folders.
    void cleanMachine() {
        std::set<std::string> codes;
        for (const auto& [slug, p] : products_) codes.insert(p.code);
        for (const std::string& code : codes) {
            for (int attempt = 0; attempt < 3 && components::msiRegistered(machine, code); ++attempt)
                msiexec("/x " + code + " /passive");
            EXPECT_FALSE(components::msiRegistered(machine, code)) << code << " could not be removed";
        }
        // Written out rather than taken from the engine's constants: a misspelt constant must not also
        // decide what is cleaned away.
        for (const char* key : {"pywin32-py2.6", "pyserial-py3k-py2.6", "scipy-py2.6", "numpy-py2.6",
                                "Open Source Computer Vision Library_is1", "ctypes-opencv-py2.6", "ICCapture22_is1",
                                "MySQL-python-py2.6", "TightVNC", "PerformanceTest 8_is1", "TeamViewer 8 Host",
                                "Speccy", "{C2E6E999-4516-40D2-8191-79B5CB4B987B}", "OPC CLIENT"})
            for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
                deleteKey(hive, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + key);
        platform_test::removeTree(programFiles() + "\\Dalvoren AS");
    }

    std::string standIns_;
    std::map<std::string, StandIn> products_;
};

}  // namespace detection_test
