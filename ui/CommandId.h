#pragma once

namespace tessaly::command {

// The numbers of the main frame's commands. Language files and the status bar know nothing of them; they
// name the frame's actions (CMainFrame::Action) and keep the frame's command table readable.

inline constexpr int kProgram = 1014;
inline constexpr int kRead = 1015;
inline constexpr int kVerify = 1016;
inline constexpr int kOptions = 1017;
inline constexpr int kCompareWithChip = 1018;
inline constexpr int kRestoreBackup = 1019;
inline constexpr int kManageDriver = 32788;

inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 57603;
inline constexpr int kImport = 32786;
inline constexpr int kExport = 32787;
inline constexpr int kRecentFile = 57616;
inline constexpr int kExit = 57665;
inline constexpr int kAbout = 57664;
inline constexpr int kPreviousPane = 57681;
inline constexpr int kHexView = 32810;
// A toolbar button that no part of the program handles; it stays disabled.
inline constexpr int kUnhandledButton = 57607;

// The language commands: one per language, in the order of the language list, at most 16.
inline constexpr int kFirstLanguage = 1025;
inline constexpr int kLastLanguage = 1040;

}  // namespace tessaly::command
