// The fixed numbers the progress and wait dialogs share with their worker threads.
#pragma once

namespace dialogids {

// The worker's event message is the first user message number plus this (WM_USER + 5); its first parameter
// is the event code, its second the event's value.
inline constexpr unsigned WorkerEventOffset = 5;

// While an installer or an uninstaller runs the bar creeps forward one step per period.
inline constexpr unsigned CreepTimer = 783;
inline constexpr unsigned CreepPeriodMs = 750;

// The program-watch box closes on the first tick after its watch has ended.
inline constexpr unsigned CloseTimer = 1047;
inline constexpr unsigned ClosePeriodMs = 1000;

// The bar's range is 0..ProgressMax.
inline constexpr int ProgressMax = 1000;

// How long an ending dialog gives its worker before leaving it behind.
inline constexpr unsigned WorkerGraceMs = 5000;

}  // namespace dialogids
