#pragma once
// The start-up steps of the program, shared with the dialog's tests so that they run the
// dialog in the same world.
namespace nimbrel {

// Before the application object: format settings, system facts, picture formats.
void PrepareProcess();
// After it: the one-pass message pump, the screen cursor and the help pop-ups.
void InstallApplicationHooks();

} // namespace nimbrel
