#pragma once
// A throw-away Windows environment for one test, with C:\ and the Windows directory
// C:\windows as the tests know them.
//
// Off Windows it is emulated: NIMBREL_ROOT points at a fresh temporary folder whose drive
// table maps C: to that folder and D: to the host's root (where the test program itself
// lives).
//
// On Windows (the tests run under Wine, in a prefix of their own) it is the host's own:
// what a test makes below C:\ is removed afterwards, WIN.INI and SYSTEM.INI are set aside
// for the test and put back, and the store's registry keys are deleted before and after.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#ifdef _WIN32
#include "platform/win32/windows_api.h"
#else
#include "platform/portable/environment.h"
#endif

namespace nimbrel::testing {

#ifdef _WIN32

class EmulatedRoot {
public:
    // Where the hosts differ. Two names that differ only in case are one file on Windows.
    static constexpr bool NamesDifferingInCaseCoexist = false;
    // SystemParametersInfo without SPIF_UPDATEINIFILE changes the session's screen-saver
    // activity only; the emulated environment records it in the registry.
    static constexpr bool ScreenSaverActivityInRegistry = false;

    EmulatedRoot() {
        DeleteStoreKeys();
        for (const std::filesystem::directory_entry& entry :
             std::filesystem::directory_iterator("C:/"))
            before_.insert(entry.path().filename().wstring());
        for (const char* name : kSetAside) {
            std::error_code ignored;
            std::filesystem::rename(Host(name), Saved(name), ignored);
        }
    }
    ~EmulatedRoot() {
        std::error_code ignored;
        for (const char* name : kSetAside) {
            std::filesystem::remove_all(Host(name), ignored);
            std::filesystem::rename(Saved(name), Host(name), ignored);
        }
        for (const std::filesystem::directory_entry& entry :
             std::filesystem::directory_iterator("C:/", ignored)) {
            if (!before_.count(entry.path().filename().wstring()))
                RemoveAll(entry.path());
        }
        DeleteStoreKeys();
    }
    EmulatedRoot(const EmulatedRoot&) = delete;
    EmulatedRoot& operator=(const EmulatedRoot&) = delete;

    // The host path of a path below C:\ ("windows/WIN.INI"), given in UTF-8.
    std::filesystem::path Host(std::string_view relative) const {
        return std::filesystem::u8path("C:/" + std::string(relative));
    }

    // Writes a host file below C:\, making its folders.
    void WriteHostFile(std::string_view relative, std::string_view contents) const {
        const std::filesystem::path path = Host(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }

private:
    static constexpr const char* kSetAside[] = {"windows/win.ini", "windows/system.ini"};

    std::filesystem::path Saved(std::string_view name) const {
        return Host(std::string(name) + ".test-aside");
    }

    // Removes a tree, read-only entries too.
    static void RemoveAll(const std::filesystem::path& path) {
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path, ignored);
    }

    static void DeleteStoreKeys() {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vexmoor");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                           "NimbrelWM&SS");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Corvane");
    }

    std::set<std::wstring> before_;
};

#else

class EmulatedRoot {
public:
    static constexpr bool NamesDifferingInCaseCoexist = true;
    static constexpr bool ScreenSaverActivityInRegistry = true;

    EmulatedRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "nimbrel-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        root_ = pattern;
        if (const char* previous = std::getenv("NIMBREL_ROOT"))
            previous_ = previous;
        WriteHostFile("drives", "C: " + root_.string() + "\nD: /\n");
        setenv("NIMBREL_ROOT", root_.c_str(), 1);
        platform::portable::ResetEnvironment();
    }
    ~EmulatedRoot() {
        if (previous_)
            setenv("NIMBREL_ROOT", previous_->c_str(), 1);
        else
            unsetenv("NIMBREL_ROOT");
        platform::portable::ResetEnvironment();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    EmulatedRoot(const EmulatedRoot&) = delete;
    EmulatedRoot& operator=(const EmulatedRoot&) = delete;

    // The host path of a path below C:\ ("windows/WIN.INI").
    std::filesystem::path Host(std::string_view relative) const { return root_ / relative; }

    // Writes a host file below C:\, making its folders.
    void WriteHostFile(std::string_view relative, std::string_view contents) const {
        const std::filesystem::path path = Host(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }

private:
    std::filesystem::path root_;
    std::optional<std::string> previous_;
};

#endif

} // namespace nimbrel::testing
