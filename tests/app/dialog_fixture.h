#pragma once
// One dialog test's world: a temporary emulated environment whose current folder C:\pics
// holds two pictures, the settings store, the message boxes shown, the dialog itself and
// the driver of its windows.
#include "app/options_form.h"
#include "controls/message_box.h"
#include "dialog_driver.h"
#include "dialog_host.h"
#include "platform/registry.h"
#include "support/temp_environment.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::test {

class TDialogFixture {
public:
    explicit TDialogFixture(TempEnvironment::Options options = {});
    ~TDialogFixture();

    static constexpr const char* PicturesFolder = "C:\\pics";
    // The drive the test program lies on, as "E:\\".
    static std::string ProgramDrive() { return TDialogHost::ProgramDrive(); }
    // The test program's folder as the dialog sees it, ending in a backslash.
    std::string ProgramFolder() const;
    // The host path of SYSTEM.INI.
    std::string SystemIniHostPath() const { return host_.SystemIniPath(); }
    const TempEnvironment& Environment() const { return environment_; }
    TDialogHost& Host() { return host_; }

    // The settings key.
    void SetString(std::string_view name, std::string_view text);
    void SetInteger(std::string_view name, std::int32_t value);
    void SetRaw(std::string_view name, std::uint32_t type, std::string_view bytes);
    std::optional<platform::RegValue> Value(std::string_view name) const;
    std::vector<std::string> ValueNames() const;
    // A store in which every setting differs from a first run's: Resize 1024 x 768 at
    // "Right Center", protection Ctrl+W after 5 tries with the password "abcdefg", both
    // intervals 45 and 75, autostart and the screen saver's installation off, and so on.
    // The wallpaper folder is the pictures' folder, as the dialog saves it.
    void SetEverySetting();
    // The autostart entry.
    void SetRunRaw(std::uint32_t type, std::string_view bytes);
    std::optional<platform::RegValue> RunValue() const;

    // Creates the dialog with these arguments and shows it, as the program does.
    TOptionsForm& Open(std::vector<std::string> arguments = {});
    TOptionsForm& Form() { return *form_; }
    TDialogDriver& Driver() { return *driver_; }
    // Presses a push button of the dialog with the mouse.
    void Press(const TControl* button);
    // Lets window messages run until `done` answers true, or fails after a few seconds.
    bool SettleUntil(const std::function<bool()>& done);
    // Lets window messages run for a while.
    void SettleFor(std::chrono::milliseconds time);

    std::vector<TMessageBoxRequest> messages;
    // The texts of the message boxes shown, for a failure's report.
    std::string MessageTexts() const;
    bool threadPriorityLowered = false;

private:
    TempEnvironment environment_;
    TDialogHost host_;
    std::unique_ptr<TOptionsForm> form_;
    std::unique_ptr<TDialogDriver> driver_;
};

// The driver of the frontend the tests are built with.
std::unique_ptr<TDialogDriver> MakeDriver(TForm& form);

// Text and number of a value read back (type checked).
std::string AsText(const std::optional<platform::RegValue>& value);
std::int32_t AsInteger(const std::optional<platform::RegValue>& value);

} // namespace nimbrel::test
