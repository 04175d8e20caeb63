// The registry layer against the real (Wine) registry: both hives, value types, the caller's buffer size and
// tree deletion. Every test works below a key of its own and removes it again.
#include "PlatformTestSupport.h"

#include "platform/win32/Win32Registry.h"

using namespace platform;

namespace {

RegistryValue bytes(uint32_t type, const std::string& data) {
    RegistryValue v;
    v.type = type;
    v.data.assign(data.begin(), data.end());
    return v;
}

std::string hiveName(Hive hive) {
    return hive == Hive::LocalMachine ? "HKLM" : hive == Hive::LocalMachine64 ? "HKLM (64-bit view)" : "HKCU";
}

// A 32-bit process on a 64-bit Windows (WOW64), whose default view of HKLM\Software is the 32-bit one.
bool runsUnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser, Hive::LocalMachine64}) registry.deleteKeyTree(hive, key);
    }

    win32::Win32Registry registry;
    const std::string key = "Software\\" + platform_test::uniqueName("PlatformRegistryTest");
};

TEST_F(RegistryTest, ValuesOfEveryTypeRoundTripInBothHives) {
    struct Case {
        const char* name;
        RegistryValue value;
    };
    const Case cases[] = {
        {"Text", bytes(RegSz, std::string("C:\\Program Files\\Orvanta\\") + '\0')},
        {"", bytes(RegSz, std::string("the default value") + '\0')},
        {"Expandable", bytes(RegExpandSz, std::string("%SystemRoot%\\bin") + '\0')},
        {"Number", bytes(RegDword, std::string("\x01\x00\x00\x00", 4))},
        {"Binary", bytes(RegBinary, std::string("\x00\xff\x00\x7f", 4))},
        {"List", bytes(RegMultiSz, std::string("one\0two\0\0", 9))},
        {"Empty", bytes(RegBinary, "")},
    };
    for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        ASSERT_TRUE(registry.createKey(hive, key)) << hiveName(hive);
        for (const Case& c : cases) {
            SCOPED_TRACE(hiveName(hive) + " value '" + c.name + "'");
            ASSERT_TRUE(registry.writeValue(hive, key, c.name, c.value));
            auto read = registry.readValue(hive, key, c.name, 4096);
            ASSERT_TRUE(read.has_value());
            EXPECT_EQ(read->type, c.value.type);
            EXPECT_EQ(read->data, c.value.data);
        }
    }
    // The conveniences store what the engine reads back as text and as a number.
    ASSERT_TRUE(registry.writeString(Hive::CurrentUser, key, "InstallPath", "C:\\Runtime\\"));
    ASSERT_TRUE(registry.writeDword(Hive::CurrentUser, key, "Install", 0x01020304));
    EXPECT_EQ(registry.readValue(Hive::CurrentUser, key, "installpath", 4096)->text(), "C:\\Runtime\\");
    EXPECT_EQ(registry.readValue(Hive::CurrentUser, key, "Install", 4096)->firstDword(), 0x01020304u);
}

TEST_F(RegistryTest, TheHivesAreSeparate) {
    // The probes try HKLM first and fall back to HKCU; that only works if a key and a value live exactly where
    // they were written.
    ASSERT_TRUE(registry.createKey(Hive::CurrentUser, key));
    ASSERT_TRUE(registry.writeString(Hive::CurrentUser, key, "UninstallString", "user"));
    EXPECT_FALSE(registry.keyExists(Hive::LocalMachine, key));
    EXPECT_TRUE(registry.keyExists(Hive::CurrentUser, key));
    EXPECT_FALSE(registry.readValue(Hive::LocalMachine, key, "UninstallString", 4096).has_value());

    ASSERT_TRUE(registry.createKey(Hive::LocalMachine, key));
    EXPECT_FALSE(registry.readValue(Hive::LocalMachine, key, "UninstallString", 4096).has_value());
    ASSERT_TRUE(registry.writeString(Hive::LocalMachine, key, "UninstallString", "machine"));
    EXPECT_EQ(registry.readValue(Hive::LocalMachine, key, "UninstallString", 4096)->text(), "machine");
    EXPECT_EQ(registry.readValue(Hive::CurrentUser, key, "UninstallString", 4096)->text(), "user");

    ASSERT_TRUE(registry.deleteKeyTree(Hive::LocalMachine, key));
    EXPECT_FALSE(registry.keyExists(Hive::LocalMachine, key));
    EXPECT_EQ(registry.readValue(Hive::CurrentUser, key, "UninstallString", 4096)->text(), "user");
}

// What a 64-bit setup writes below HKLM\Software lies in the 64-bit view: the program finds it there, and under
// WOW64 not in its default view (nor what it writes there in the 64-bit one). Elsewhere both are one view.
TEST_F(RegistryTest, The64BitViewHoldsWhatA64BitProgramWrites) {
    ASSERT_TRUE(registry.createKey(Hive::LocalMachine64, key));
    ASSERT_TRUE(registry.writeString(Hive::LocalMachine64, key, "UninstallString", "\"C:\\x64\\remove.exe\""));
    EXPECT_EQ(registry.readValue(Hive::LocalMachine64, key, "UninstallString", 4096)->text(), "\"C:\\x64\\remove.exe\"");
    EXPECT_TRUE(registry.keyExists(Hive::LocalMachine64, key));
    EXPECT_EQ(registry.keyExists(Hive::LocalMachine, key), !runsUnderWow64());
    if (runsUnderWow64()) {
        // A key of the same name in the default view is another key.
        ASSERT_TRUE(registry.createKey(Hive::LocalMachine, key));
        EXPECT_FALSE(registry.readValue(Hive::LocalMachine, key, "UninstallString", 4096).has_value());
    }
    ASSERT_TRUE(registry.deleteKeyTree(Hive::LocalMachine64, key));
    EXPECT_FALSE(registry.keyExists(Hive::LocalMachine64, key));
}

TEST_F(RegistryTest, AValueThatDoesNotFitTheBufferIsUnreadable) {
    struct Case {
        const char* what;
        RegistryValue value;
        std::size_t bufferBytes;
        bool readable;
    };
    const std::string text4095(4095, 'x');
    const Case cases[] = {
        {"4096 binary bytes in 4096", bytes(RegBinary, std::string(4096, '\x5a')), 4096, true},
        {"4097 binary bytes in 4096", bytes(RegBinary, std::string(4097, '\x5a')), 4096, false},
        {"4095 characters and terminator in 4096", bytes(RegSz, text4095 + '\0'), 4096, true},
        {"4096 characters and terminator in 4096", bytes(RegSz, text4095 + "x" + '\0'), 4096, false},
        {"a number in 4 bytes", bytes(RegDword, std::string("\x07\x00\x00\x00", 4)), 4, true},
        {"a number in 3 bytes", bytes(RegDword, std::string("\x07\x00\x00\x00", 4)), 3, false},
        {"nothing in no buffer", bytes(RegBinary, ""), 0, true},
        {"one byte in no buffer", bytes(RegBinary, "\x01"), 0, false},
    };
    ASSERT_TRUE(registry.createKey(Hive::CurrentUser, key));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(registry.writeValue(Hive::CurrentUser, key, "Sized", c.value));
        auto read = registry.readValue(Hive::CurrentUser, key, "Sized", c.bufferBytes);
        ASSERT_EQ(read.has_value(), c.readable);
        if (read) {
            EXPECT_EQ(read->data, c.value.data);
        }
    }
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNoAnswer) {
    EXPECT_FALSE(registry.keyExists(Hive::CurrentUser, key));
    EXPECT_FALSE(registry.readValue(Hive::CurrentUser, key, "", 4096).has_value());
    // Writing needs the key: the writers create it first.
    EXPECT_FALSE(registry.writeString(Hive::CurrentUser, key, "Name", "value"));
    EXPECT_FALSE(registry.keyExists(Hive::CurrentUser, key));

    ASSERT_TRUE(registry.createKey(Hive::CurrentUser, key));
    EXPECT_FALSE(registry.readValue(Hive::CurrentUser, key, "Name", 4096).has_value());
    EXPECT_FALSE(registry.deleteValue(Hive::CurrentUser, key, "Name"));
    ASSERT_TRUE(registry.writeString(Hive::CurrentUser, key, "Name", "value"));
    EXPECT_TRUE(registry.deleteValue(Hive::CurrentUser, key, "Name"));
    EXPECT_FALSE(registry.readValue(Hive::CurrentUser, key, "Name", 4096).has_value());
}

TEST_F(RegistryTest, KeysAreCreatedWithTheirParentsAndDeletedAsATree) {
    const std::string deep = key + "\\PythonPath\\win32com";
    ASSERT_TRUE(registry.createKey(Hive::CurrentUser, deep));
    EXPECT_TRUE(registry.keyExists(Hive::CurrentUser, key));
    EXPECT_TRUE(registry.keyExists(Hive::CurrentUser, key + "\\PythonPath"));
    ASSERT_TRUE(registry.writeString(Hive::CurrentUser, deep, "", "C:\\Python26\\lib\\site-packages"));
    ASSERT_TRUE(registry.writeString(Hive::CurrentUser, key, "Top", "value"));
    // Creating an existing key opens it and keeps what it holds.
    ASSERT_TRUE(registry.createKey(Hive::CurrentUser, deep));
    EXPECT_EQ(registry.readValue(Hive::CurrentUser, deep, "", 4096)->text(), "C:\\Python26\\lib\\site-packages");

    EXPECT_TRUE(registry.deleteKeyTree(Hive::CurrentUser, key));
    EXPECT_FALSE(registry.keyExists(Hive::CurrentUser, deep));
    EXPECT_FALSE(registry.keyExists(Hive::CurrentUser, key));
    EXPECT_FALSE(registry.deleteKeyTree(Hive::CurrentUser, key));
    // The parent of the test key is untouched.
    EXPECT_TRUE(registry.keyExists(Hive::CurrentUser, "Software"));
}

}  // namespace
