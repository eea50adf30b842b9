#pragma once
// What a screen reader meets for the controls whose Qt faces do not say what they are: a
// drop-down list names itself (not by the item it shows) and tells the item as its value;
// a track bar tells its position with its unit.
namespace nimbrel::qt {

// Once per program; the windows that need it call it when they are made.
void InstallAccessibleFaces();

} // namespace nimbrel::qt
