#pragma once
// The start-up steps of the program, shared with the dialog's tests so that they run the
// dialog in the same world.
namespace nimbrel {

// Before the application object: format settings, system facts, picture formats.
void PrepareProcess();
// After it: the Qt toolkit (message pump, message boxes, screen cursor, help pop-ups).
void InstallApplicationHooks();

} // namespace nimbrel
