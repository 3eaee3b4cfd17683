#pragma once

#include <cstdint>

namespace tessaly {

inline constexpr std::uint16_t kMessageCount = 88;

// Message numbers. They are fixed: language files key on them through the key pairs of kBuiltInMessages.
namespace msg {

// About box; a format with the major version, the minor version and the build number.
inline constexpr std::uint16_t kAboutVersion = 0;

// Template loading errors.
inline constexpr std::uint16_t kScriptErrorInFile = 1;
inline constexpr std::uint16_t kTitleNotFound = 2;
inline constexpr std::uint16_t kWrongTitleSyntax = 3;
inline constexpr std::uint16_t kNameAlreadyExists = 4;
inline constexpr std::uint16_t kBodyIsEmpty = 5;
inline constexpr std::uint16_t kUnsupportedKeyword = 6;
inline constexpr std::uint16_t kInvalidArgumentNumber = 7;
inline constexpr std::uint16_t kInvalidSyntax = 8;
inline constexpr std::uint16_t kInvalidArgumentValue = 9;
inline constexpr std::uint16_t kNotEnoughMemoryForUnit = 10;
inline constexpr std::uint16_t kTemplateMemoryCollision = 11;
inline constexpr std::uint16_t kTypeAs = 12;

// Device, plug-in and driver states.
inline constexpr std::uint16_t kDriverNotInstalled = 13;
inline constexpr std::uint16_t kNone = 14;
inline constexpr std::uint16_t kStateNoDriver = 15;
inline constexpr std::uint16_t kStateHardwareUndefined = 16;
inline constexpr std::uint16_t kStateReady = 17;
inline constexpr std::uint16_t kStateNoChip = 18;
inline constexpr std::uint16_t kStateHardwareUnplugged = 19;
inline constexpr std::uint16_t kStateNoPlugin = 20;
inline constexpr std::uint16_t kOperationFailed = 21;
inline constexpr std::uint16_t kDriverInstalling = 22;
inline constexpr std::uint16_t kAskInstallDriver = 23;
inline constexpr std::uint16_t kDriverUninstalling = 24;
inline constexpr std::uint16_t kAskUninstallDriver = 25;

// Operation names.
inline constexpr std::uint16_t kOperationRead = 26;
inline constexpr std::uint16_t kOperationProgram = 27;
inline constexpr std::uint16_t kOperationVerify = 28;
inline constexpr std::uint16_t kOperationPrepareData = 29;

// Operation results.
inline constexpr std::uint16_t kAskRetryDeviceAccess = 30;
inline constexpr std::uint16_t kWrongValue = 31;
inline constexpr std::uint16_t kAtLocation = 32;
inline constexpr std::uint16_t kOperationSkipped = 33;
inline constexpr std::uint16_t kProgramComplete = 34;
inline constexpr std::uint16_t kVerifyComplete = 35;

// List column titles; the first is empty in English.
inline constexpr std::uint16_t kColumnBlank = 36;
inline constexpr std::uint16_t kColumnNumber = 37;
inline constexpr std::uint16_t kColumnName = 38;
inline constexpr std::uint16_t kColumnValue = 39;

// Value descriptions.
inline constexpr std::uint16_t kKindBit = 40;
inline constexpr std::uint16_t kKindChoice = 41;
inline constexpr std::uint16_t kKindNumber = 42;
inline constexpr std::uint16_t kBaseBinary = 43;
inline constexpr std::uint16_t kBaseDecimal = 44;
inline constexpr std::uint16_t kBaseHexadecimal = 45;
inline constexpr std::uint16_t kKindString = 46;
inline constexpr std::uint16_t kUpTo = 47;
inline constexpr std::uint16_t kCharacters = 48;

// List context menu and data-file dialogs.
inline constexpr std::uint16_t kMenuEditItem = 49;
inline constexpr std::uint16_t kMenuEnableItem = 50;
inline constexpr std::uint16_t kMenuDisableItem = 51;
inline constexpr std::uint16_t kMenuEnableAllItems = 52;
inline constexpr std::uint16_t kMenuDisableAllItems = 53;
inline constexpr std::uint16_t kMenuSelectFont = 54;
inline constexpr std::uint16_t kMenuImportData = 55;
inline constexpr std::uint16_t kMenuExportData = 56;
inline constexpr std::uint16_t kImportFromFile = 57;
inline constexpr std::uint16_t kExportToFile = 58;
// A format with two texts: the unit name found in the data file, then the current unit's name.
inline constexpr std::uint16_t kAskLoadOtherProfile = 59;

// Options dialog.
inline constexpr std::uint16_t kOptionsCaption = 60;
inline constexpr std::uint16_t kInvalidParameter = 61;

// Options dialog, General page.
inline constexpr std::uint16_t kPageGeneral = 62;
inline constexpr std::uint16_t kGroupCommon = 63;
inline constexpr std::uint16_t kLabelMruSize = 64;
inline constexpr std::uint16_t kGroupItemList = 65;
inline constexpr std::uint16_t kLabelColumnsAutoResize = 66;
inline constexpr std::uint16_t kLabelNameColumnAlign = 67;
inline constexpr std::uint16_t kAlignLeft = 68;
inline constexpr std::uint16_t kAlignCenter = 69;
inline constexpr std::uint16_t kAlignRight = 70;
inline constexpr std::uint16_t kGroupMemoryInitialFill = 71;
inline constexpr std::uint16_t kLabelFillValue = 72;
inline constexpr std::uint16_t kGroupItems = 73;
inline constexpr std::uint16_t kLabelEnableTips = 74;
inline constexpr std::uint16_t kLabelEnableEditIfWrong = 75;
inline constexpr std::uint16_t kGroupNotification = 76;
inline constexpr std::uint16_t kLabelNotifyProgram = 77;
inline constexpr std::uint16_t kLabelNotifyVerify = 78;

// Options dialog, Hardware page.
inline constexpr std::uint16_t kPageHardware = 79;
inline constexpr std::uint16_t kButtonLoadDefaults = 80;
inline constexpr std::uint16_t kLabelPort = 81;
inline constexpr std::uint16_t kLabelIoDelayFactor = 82;
inline constexpr std::uint16_t kGroupDelays = 83;
inline constexpr std::uint16_t kLabelPowerUpDelay = 84;
inline constexpr std::uint16_t kLabelProgramPulse = 85;
inline constexpr std::uint16_t kLabelFixatePulse = 86;
inline constexpr std::uint16_t kLabelPlugIn = 87;

}  // namespace msg

}  // namespace tessaly
