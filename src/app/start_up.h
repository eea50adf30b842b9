#pragma once
// The start-up steps of the programs, shared with the dialog's tests so that they run the
// dialog in the same world.
namespace nimbrel {

// Before the application object: format settings, system facts, picture formats.
void PrepareProcess();

} // namespace nimbrel
