#pragma once
// The virtual key codes of the key-down handling (Windows' numbers), shared by every
// frontend: the Win32 one receives them as they are, the Qt one translates its keys.
namespace nimbrel {

enum : int {
    VkBack = 8,
    VkTab = 9,
    VkReturn = 13,
    VkShift = 16,
    VkControl = 17,
    VkMenu = 18,
    VkPause = 19,
    VkEscape = 27,
    VkSpace = 32,
    VkPrior = 33,
    VkNext = 34,
    VkEnd = 35,
    VkHome = 36,
    VkLeft = 37,
    VkUp = 38,
    VkRight = 39,
    VkDown = 40,
    VkInsert = 45,
    VkDelete = 46,
    VkF1 = 112,
};

} // namespace nimbrel
