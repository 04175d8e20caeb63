// The fixed numbers of the wizard: timers, messages and the geometry its pages share.
#pragma once

namespace wizardids {

// While a row operation runs, this page timer shows the rows' texts every RefreshPeriodMs.
inline constexpr unsigned RefreshTimer = 983;
inline constexpr unsigned RefreshPeriodMs = 2000;
// Sent to the sheet (WM_USER + 7) to run the current page's activation again.
inline constexpr unsigned ReactivateOffset = 7;
// What a dynamic button sends its owner (WM_USER + 6): row and code.
inline constexpr unsigned DynamicButtonOffset = 6;

// Page geometry, in page client pixels.
inline constexpr int BannerHeight = 70;
inline constexpr int SideStripWidth = 165;
inline constexpr int InstallButtonX = 674;
inline constexpr int UninstallButtonX = 700;
inline constexpr int DownloadButtonX = 696;
inline constexpr unsigned TooltipDelayMs = 50;

// The sheet: how much taller it is than the pages need, how far the standard buttons move down, and the row of
// navigation buttons at its bottom left.
inline constexpr int SheetExtraHeight = 20;
inline constexpr int StandardButtonShift = 15;
inline constexpr int NavigationButtonWidth = 75;
inline constexpr int NavigationButtonLeft = 10;
inline constexpr int NavigationButtonGap = 4;
inline constexpr int NavigationButtonTopAboveBack = 25;
inline constexpr int NavigationButtonBottomAboveBack = 2;

// The help viewer's readiness is polled this often, this many times.
inline constexpr unsigned HelpPollPeriodMs = 50;
inline constexpr int HelpPollCount = 21;

// How long the sheet waits for its background check when it closes.
inline constexpr unsigned CheckThreadWaitMs = 5000;

}  // namespace wizardids
