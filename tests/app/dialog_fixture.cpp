#include "dialog_fixture.h"

#include "controls/toolkit.h"
#include "platform/system.h"
#include "settings/store_values.h"
#include "support/bmp_maker.h"
#include "support/nwp_packer.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#ifndef _WIN32
#include "platform/portable/environment.h"
#endif

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;

platform::RegKey OpenKey(std::string_view path) {
    platform::RegKey key;
    if (key.Create(platform::Hive::CurrentUser, path) != platform::ErrorSuccess)
        throw std::runtime_error("cannot open a registry key of the test store");
    return key;
}

constexpr std::string_view RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void SetKeyValue(std::string_view path, std::string_view name, std::uint32_t type,
                 std::string_view bytes) {
    platform::RegKey key = OpenKey(path);
    if (key.SetValue(name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                     bytes.size()) != platform::ErrorSuccess)
        throw std::runtime_error("cannot write a value of the test store");
}

std::optional<platform::RegValue> KeyValue(std::string_view path, std::string_view name) {
    platform::RegKey key;
    if (key.Open(platform::Hive::CurrentUser, path) != platform::ErrorSuccess)
        return std::nullopt;
    platform::RegValue value;
    if (key.QueryValue(name, value) != platform::ErrorSuccess)
        return std::nullopt;
    return value;
}

void WritePicture(const std::string& hostPath, Rgb colour) {
    WriteHostFile(hostPath, MakeSolidBmp(64, 48, colour));
}

// How long a test waits for what a message brings about before it fails.
constexpr auto SettleLimit = std::chrono::seconds(5);

} // namespace

TDialogFixture::TDialogFixture(TempEnvironment::Options options)
    : environment_(options), host_(environment_) {
    const std::string pictures = environment_.MakeHostFolder('C', "pics");
    WritePicture(pictures + "/sunset.bmp", {250, 120, 40});
    WritePicture(pictures + "/meadow.bmp", {60, 160, 70});
    fs::current_path(pictures);
#ifndef _WIN32
    platform::portable::ResetEnvironment();
#endif
    SetMessageBoxAnswerer(
        [this](const TMessageBoxRequest& request) { messages.push_back(request); });
}

TDialogFixture::~TDialogFixture() {
    driver_.reset();
    form_.reset();
    SetMessageBoxAnswerer({});
}

std::string TDialogFixture::ProgramFolder() const {
    return FolderOfProgram(platform::ProgramFilePath());
}

void TDialogFixture::SetString(std::string_view name, std::string_view text) {
    SetRaw(name, platform::RegSz, text);
}

void TDialogFixture::SetInteger(std::string_view name, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                           static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
    SetRaw(name, platform::RegDword, std::string_view(bytes, 4));
}

void TDialogFixture::SetRaw(std::string_view name, std::uint32_t type, std::string_view bytes) {
    SetKeyValue(store::SettingsKey, name, type, bytes);
}

std::optional<platform::RegValue> TDialogFixture::Value(std::string_view name) const {
    return KeyValue(store::SettingsKey, name);
}

std::vector<std::string> TDialogFixture::ValueNames() const {
    std::vector<std::string> names;
    platform::RegKey key;
    if (key.Open(platform::Hive::CurrentUser, store::SettingsKey) != platform::ErrorSuccess)
        return names;
    std::vector<std::pair<std::string, platform::RegValue>> values;
    if (key.EnumValues(values) != platform::ErrorSuccess)
        return names;
    for (const auto& [name, value] : values)
        names.push_back(name);
    return names;
}

void TDialogFixture::SetEverySetting() {
    SetString(store::StretchWallpaper, "Resize");
    SetInteger(store::StretchWallpaperWidth, 1024);
    SetInteger(store::StretchWallpaperHeight, 768);
    SetInteger(store::StretchWallpaperPosition, 2);
    SetString(store::ExitOnChange, "Yes");
    SetString(store::StretchScreenSaver, "Original");
    SetString(store::DisableScreenSaver, "Yes");
    SetInteger(store::Interval, 45);
    SetInteger(store::ScreenSaverInterval, 75);
    SetString(store::WallpaperFolder, PicturesFolder);
    SetInteger(store::AccessKey, 87);
    SetInteger(store::AccessShift, 2);
    SetInteger(store::AccessTimes, 5);
    SetString(store::AccessPassword, "abcdefg");
    SetRunRaw(platform::RegSz, "*");
}

void TDialogFixture::SetRunRaw(std::uint32_t type, std::string_view bytes) {
    SetKeyValue(RunKeyPath, store::AutostartValue, type, bytes);
}

std::optional<platform::RegValue> TDialogFixture::RunValue() const {
    return KeyValue(RunKeyPath, store::AutostartValue);
}

TOptionsForm& TDialogFixture::Open(std::vector<std::string> arguments) {
    TFormStart start{std::move(arguments), [this] { threadPriorityLowered = true; }};
    driver_.reset();
    form_ = std::make_unique<TOptionsForm>(std::move(start), Toolkit());
    driver_ = MakeDriver(*form_);
    form_->Show();
    if (!driver_->WaitActive())
        throw std::runtime_error("the dialog was not shown");
    return *form_;
}

void TDialogFixture::Press(const TControl* button) {
    driver_->Click(button->Name());
}

std::string TDialogFixture::MessageTexts() const {
    std::string texts = std::to_string(messages.size()) + " messages";
    for (const TMessageBoxRequest& message : messages)
        texts += "\n  \"" + message.text + "\"";
    return texts;
}

bool TDialogFixture::SettleUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + SettleLimit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        driver_->Settle();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void TDialogFixture::SettleFor(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    do {
        driver_->Settle();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
}

std::string AsText(const std::optional<platform::RegValue>& value) {
    if (!value || value->type != platform::RegSz)
        return "<not a string>";
    return std::string(value->data.begin(), value->data.end());
}

std::int32_t AsInteger(const std::optional<platform::RegValue>& value) {
    if (!value || value->type != platform::RegDword || value->data.size() != 4)
        return INT32_MIN;
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | value->data[static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(u);
}

} // namespace nimbrel::test
