#pragma once
// What a dialog test finds and changes on its host beside the temporary environment: the
// emulated environment maps all of it, Windows has one of each (the registry, SYSTEM.INI,
// the program's drive), so there the test's changes are undone at its end.
#include "support/temp_environment.h"

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::test {

class TDialogHost {
public:
    // Called once the environment exists: the settings empty, no SYSTEM.INI yet, the
    // program's folder reachable through a drive.
    explicit TDialogHost(const TempEnvironment& environment);
    ~TDialogHost();
    TDialogHost(const TDialogHost&) = delete;
    TDialogHost& operator=(const TDialogHost&) = delete;

    // The drive the test program lies on, as "E:\".
    static std::string ProgramDrive();
    // The host path of SYSTEM.INI.
    std::string SystemIniPath() const;
    // Takes the settings key away under an open dialog.
    void ForgetSettingsKey();
    // A store that cannot be opened: it reads like an empty one and every write fails.
    void MakeStoreUnusable();
    // Where a picture of the dialog named `name` is saved, for review.
    static std::string PicturePath(std::string_view name);

private:
    const TempEnvironment& environment_;
    std::optional<TempEnvironment> freshStore_;
    std::string savedSystemIni_;
};

} // namespace nimbrel::test
