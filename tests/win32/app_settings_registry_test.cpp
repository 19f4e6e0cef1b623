// The registry values other programs read, written through the real registry
// API and checked both through it and with reg query.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/app_settings_registry.h"
#include "reg_query.h"

namespace veltro::win32 {
namespace {

constexpr const char* kApp = "RAREduzo";
constexpr const char* kSection = "Settings";
constexpr const char* kKeyPath = "Software\\VB and VBA Program Settings\\RAREduzo\\Settings";

class AppSettingsRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\RAREduzo");
    }

    // The value's bytes in the ANSI code page, or nothing if it is absent or
    // not a REG_SZ.
    static std::optional<std::string> readAnsi(const char* name) {
        char data[512];
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY, &type, data, &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ || size == 0) {
            return std::nullopt;
        }
        return std::string(data, size - 1);
    }
    static std::optional<std::wstring> readWide(const char* name) {
        wchar_t data[512];
        DWORD size = sizeof(data);
        const std::wstring wideName(name, name + std::char_traits<char>::length(name));
        const std::wstring wideKey(kKeyPath, kKeyPath + std::char_traits<char>::length(kKeyPath));
        if (RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(), RRF_RT_REG_SZ,
                         nullptr, data, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(data, size / sizeof(wchar_t) - 1);
    }
    static bool keyExists(HKEY root, const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }
};

TEST_F(AppSettingsRegistry, KeyIsWhereTheSettingsCallPutsIt) {
    EXPECT_EQ(appSettingsKeyPath(kApp, kSection), kKeyPath);
}

TEST_F(AppSettingsRegistry, ActiveAndReadingReadBackExactly) {
    struct Write {
        const char* name;
        const char* value;
    };
    const Write writes[] = {{"Active", "N"}, {"Active", "Y"}, {"Reading", " 7.5"}};
    for (const auto& w : writes) {
        SCOPED_TRACE(std::string(w.name) + "=" + w.value);
        saveAppSetting(kApp, kSection, w.name, w.value);
        EXPECT_EQ(readAnsi(w.name), w.value);
        EXPECT_EQ(testing::regQuery(std::string("HKCU\\") + kKeyPath, w.name), w.value);
    }
    EXPECT_EQ(readAnsi("Active"), "Y") << "a later write of another value keeps it";
}

TEST_F(AppSettingsRegistry, AnyMeterTextGoesInAsItIs) {
    struct Case {
        const char* name;
        std::string value;
        std::string stored;
    };
    const Case cases[] = {
        {"more than four characters", "12345.678", "12345.678"},
        {"bytes above 127", "4\xB0\xE9\xFF", "4\xB0\xE9\xFF"},
        {"empty", "", ""},
        {"a NUL ends the text",
         std::string("4\0"
                     "9.5",
                     5),
         "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        saveAppSetting(kApp, kSection, "Reading", c.value);
        EXPECT_EQ(readAnsi("Reading"), c.stored);
        // Stored as text: the bytes read in the ANSI code page.
        std::wstring wide(c.stored.size(), L'\0');
        MultiByteToWideChar(CP_ACP, 0, c.stored.data(), static_cast<int>(c.stored.size()),
                            wide.data(), static_cast<int>(wide.size()));
        EXPECT_EQ(readWide("Reading"), wide);
    }
}

TEST_F(AppSettingsRegistry, KeyThatRefusesFailsSilently) {
    saveAppSetting(reinterpret_cast<HKEY>(0x7654), kApp, kSection, "Active", "Y");
    saveAppSetting(nullptr, kApp, kSection, "Active", "Y");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kKeyPath)) << "no handle, no key";

    const std::string tooLong(300, 'S');
    saveAppSetting(kApp, tooLong, "Active", "Y");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, appSettingsKeyPath(kApp, tooLong)));
}

}  // namespace
}  // namespace veltro::win32
