#include "platform/win32/app_settings_registry.h"

namespace veltro::win32 {

std::string appSettingsKeyPath(const std::string& application, const std::string& section) {
    return "Software\\VB and VBA Program Settings\\" + application + "\\" + section;
}

void saveAppSetting(const std::string& application, const std::string& section,
                    const std::string& name, const std::string& value) {
    saveAppSetting(HKEY_CURRENT_USER, application, section, name, value);
}

void saveAppSetting(HKEY root, const std::string& application, const std::string& section,
                    const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    const std::string path = appSettingsKeyPath(application, section);
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const char* text = value.c_str();
    const DWORD bytes = static_cast<DWORD>(std::char_traits<char>::length(text) + 1);
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
    RegCloseKey(key);
}

}  // namespace veltro::win32
