#pragma once
// The two entries of the store that live outside the settings key, and one-shot writes.
// Each opens its key afresh and closes it on every path; the dialog decides which
// errors it drops.
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

// Writes one string value of the settings key (HKCU\Software\Vexmoor\Nimbrel, created if
// missing): the requests "ForceReload", "SetAsNext" and "ChangeTo".
// Throws ERegistryWriteError ("Failed to set data for '<name>'").
void WriteSettingsString(std::string_view name, std::string_view value);

// The autostart entry "NimbrelWM&SS" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run
// (the key is created if missing).
// Reads whether autostart is on: nothing when the Run key cannot be opened (the check box
// keeps its state); true unless the value is exactly "*" (a missing or empty value counts
// as on); false when the value cannot be read (another type, a failed read). Never throws.
std::optional<bool> ReadAutostart();
// The same rule for a reader that must not write the store (the changer at login): a
// missing Run key is a missing value, and no key is created.
bool ReadAutostartWithoutCreating();
// Writes programFolder + "NIMBREL.EXE" when on, else "*"; the value is never deleted.
// Nothing is written when the Run key cannot be opened. Throws ERegistryWriteError when
// the write fails.
void WriteAutostart(bool on, std::string_view programFolder);

// The Windows directory (from a buffer of 1024 characters) followed by "\SYSTEM.INI".
std::string SystemIniFile();
// Writes SCRNSAVE.EXE=<programFolder>NIMBRSRV.SCR into section "boot" of SYSTEM.INI, then
// switches the system screen saver on with a change broadcast. Throws EIniFileException
// ("Unable to write to <path>") when the file cannot be written; the screen saver is then
// not switched on.
void InstallScreenSaver(std::string_view programFolder);

} // namespace nimbrel
