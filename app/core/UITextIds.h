// Every UI text id the program looks up with LoadUIText, by where it is
// shown. The numbers are the keys of section "KB.DIALOG" in the language
// files (data/language/<language>.lan) and never change; the wording lives in
// those files. Some ids serve more than one place with the same word (for
// example 206 "Macro" is a menu item, a dialog title and a tip title).
#pragma once

#include <array>

namespace Quillon {

// ---- Caption bar, tray and dialogs ----
inline constexpr int kTextCloseTip = 1;        // close button of small dialogs
inline constexpr int kTextMinimizeTip = 2;     // caption button 42
inline constexpr int kTextWebsiteTip = 5;      // caption button 44
inline constexpr int kTextTrayCloseSetup = 10; // tray menu: what the close button does
inline constexpr int kTextTrayExit = 11;       // tray menu: quit
inline constexpr int kTextOk = 20;             // one-button message box
inline constexpr int kTextApply = 22;
inline constexpr int kTextYes = 23; // question box, first button
inline constexpr int kTextNo = 25;  // question box, second button
inline constexpr int kTextImport = 26;
inline constexpr int kTextExport = 27;
inline constexpr int kTextAddProfileTip = 28;
inline constexpr int kTextRenameProfileTip = 29;
inline constexpr int kTextDeleteProfileTip = 30;
inline constexpr int kTextCopy = 31;
inline constexpr int kTextPaste = 32;
inline constexpr int kTextRename = 33; // macro button and title of refused renames

// ---- Tabs, page titles and the home page ----
inline constexpr int kTextTabHome = 50;
inline constexpr int kTextTabKeys = 51; // also the device name shown once connected
inline constexpr int kTextTabMacros = 52;
inline constexpr int kTextTabLighting = 53;
inline constexpr int kTextTabSettings = 56;
inline constexpr int kTextConnected = 60;    // home heading and status line
inline constexpr int kTextDisconnected = 61; // home heading and status line

// ---- Profiles ----
inline constexpr int kTextProfileWord = 65; // generated names and limit title
inline constexpr int kTextDeleteProfileQuestion = 290;
inline constexpr int kTextDeleteProfileTitle = 291;
inline constexpr int kTextProfileLimit = 295;
inline constexpr int kTextInvalidName = 330; // refused profile names, empty macro names
inline constexpr int kTextBlockedMacroName = 621;

// ---- Light page ----
inline constexpr int kTextBrightness = 82;
inline constexpr int kTextSpeed = 83;
inline constexpr int kTextDirection = 85;
inline constexpr int kTextCustomColourSet = 86; // "%s 1", "%s 2", "%s 3"
inline constexpr int kTextApplyKeyColours = 87;
inline constexpr int kTextColour = 89;
inline constexpr int kTextColourful = 90;
inline constexpr int kTextCustomColour = 91;
inline constexpr int kTextAreaFirst = 541; // areas 1 to 6: 541-546
inline constexpr int kTextAreaLast = 546;

// ---- Music ----
inline constexpr int kTextMusicEffect = 100;
inline constexpr int kTextMusicLayerWord = 101; // name of a new layer: "%s 1"
inline constexpr int kTextMusicAmplitude = 102;
inline constexpr int kTextMusicSensitivity = 103;
inline constexpr int kTextMusicSecondSetting = 104; // background type / level interval
inline constexpr int kTextMusicBackgroundBrightness = 105;
// Layer picture kinds of the foreground and background lists.
inline constexpr int kTextLayerGradientGreenRed = 106;
inline constexpr int kTextLayerRainbow = 107;
inline constexpr int kTextLayerRainbowReverse = 108;
inline constexpr int kTextLayerRadial = 109;
inline constexpr int kTextLayerColourCycle = 110;
inline constexpr int kTextLayerWhite = 111;
inline constexpr int kTextLayerRed = 112;
inline constexpr int kTextLayerOrange = 113;
inline constexpr int kTextLayerYellow = 114;
inline constexpr int kTextLayerGreen = 115;
inline constexpr int kTextLayerBlack = 117;
inline constexpr int kTextLayerBlue = 118;
inline constexpr int kTextMusicEffectType1 = 120;
inline constexpr int kTextMusicEffectType2 = 121;

// ---- Settings page and its questions ----
inline constexpr int kTextLanguage = 150;
inline constexpr int kTextAutorun = 151;
inline constexpr int kTextResetKeys = 152;
inline constexpr int kTextFactoryReset = 153;
inline constexpr int kTextSoftwareUpdate = 156; // button and message caption
inline constexpr int kTextFirmwareUpdate = 157; // button and message caption
// The export warnings have ids of their own: 151/152 and 541 already name a
// check box, a button and an area label.
inline constexpr int kTextNoProfileSelected = 158;
inline constexpr int kTextExportProfileTitle = 159;
inline constexpr int kTextNoMacroSelected = 540;
inline constexpr int kTextExportMacroTitle = 548;
inline constexpr int kTextResetKeysQuestion = 165;
inline constexpr int kTextResetKeysTitle = 166;
inline constexpr int kTextFactoryResetQuestion = 167;
inline constexpr int kTextFactoryResetTitle = 168;
inline constexpr int kTextCloseExit = 170;    // close dialog caption and its exit choice
inline constexpr int kTextCloseToTray = 171;  // close dialog choice and close button tip
inline constexpr int kTextCloseExitTip = 172; // close button tip in exit mode
inline constexpr int kTextSoftwareUpToDate = 175;
inline constexpr int kTextFirmwareAvailable = 176;
inline constexpr int kTextFirmwareUpToDate = 177;

// ---- Key assignments ----
inline constexpr int kTextRestoreDefault = 201;
inline constexpr int kTextKeyDisabled = 202;
inline constexpr int kTextFunctionType = 204;
inline constexpr int kTextKeyFunction = 205; // tip title of picker assignments
inline constexpr int kTextMacro = 206;
inline constexpr int kTextMouseButton = 207;
inline constexpr int kTextMediaFunction = 208;
inline constexpr int kTextShortcut = 209;
inline constexpr int kTextLaunchProgram = 210;
inline constexpr int kTextOpenWebsite = 211;
inline constexpr int kTextTypeText = 212;
inline constexpr int kTextBrowse = 218;
inline constexpr int kTextEmptyMacro = 293;
inline constexpr int kTextFnKeyTitle = 366;
inline constexpr int kTextFnKeyNotAssignable = 365;
// Mouse buttons by assignment value: 1 left, 2 middle, 3 right, 7 and 8 the
// side buttons.
inline constexpr int kTextMouseLeft = 220;
inline constexpr int kTextMouseMiddle = 222;
inline constexpr int kTextMouseRight = 223;
inline constexpr int kTextMouseForward = 227;
inline constexpr int kTextMouseBack = 228;
// The seven media functions (assignment values 1-7); also picker tooltips.
inline constexpr int kTextMediaPlayPause = 230;
inline constexpr int kTextMediaStop = 231;
inline constexpr int kTextMediaPrevious = 232;
inline constexpr int kTextMediaNext = 233;
inline constexpr int kTextVolumeUp = 234;
inline constexpr int kTextVolumeDown = 235;
inline constexpr int kTextMute = 236;
// Tooltips of the picker's other function buttons.
inline constexpr int kTextMyComputer = 252;
inline constexpr int kTextCalculator = 270;
inline constexpr int kTextEmail = 271;
inline constexpr int kTextMediaPlayer = 272;
inline constexpr int kTextBrowserHome = 273;
inline constexpr int kTextBrowserRefresh = 274;
inline constexpr int kTextBrowserStop = 275;
inline constexpr int kTextBrowserBack = 276;
inline constexpr int kTextBrowserForward = 277;
inline constexpr int kTextFavourites = 278;
inline constexpr int kTextBrowserSearch = 279;
// Built-in shortcuts: kTextShortcutBase + shortcut id (1-15).
inline constexpr int kTextShortcutBase = 700;
inline constexpr int kShortcutCount = 15;

// ---- Macro page ----
inline constexpr int kTextMacroList = 300;
inline constexpr int kTextInsertEvent = 301;
inline constexpr int kTextInsertBefore = 302;
inline constexpr int kTextInsertAfter = 303;
inline constexpr int kTextKeyboard = 304; // step editor choice; key page view
inline constexpr int kTextMouse = 305;
inline constexpr int kTextDelay = 306;
inline constexpr int kTextLeftButton = 307;
inline constexpr int kTextMiddleButton = 308;
inline constexpr int kTextRightButton = 309;
inline constexpr int kTextInsert = 310;
inline constexpr int kTextNewMacro = 311;
inline constexpr int kTextDelete = 312;
inline constexpr int kTextPlayTimes = 316;
inline constexpr int kTextRecordDelays = 317;
inline constexpr int kTextNoDelays = 318;
inline constexpr int kTextFixedDelay = 319;
inline constexpr int kTextMilliseconds = 320;
inline constexpr int kTextStartRecording = 321;
inline constexpr int kTextStopRecording = 322;
inline constexpr int kTextMacroSteps = 323;
inline constexpr int kTextInsertDelayTip = 325;
inline constexpr int kTextMoveUpTip = 326;
inline constexpr int kTextMoveDownTip = 327;
inline constexpr int kTextSave = 329;
inline constexpr int kTextMacroWord = 331; // generated names
inline constexpr int kTextColumnKey = 335;
inline constexpr int kTextColumnAction = 336;
inline constexpr int kTextColumnDelay = 337;

// ---- Light effect names ----
// The layout file names each light effect by a text id in this range.
inline constexpr int kTextLightEffectFirst = 1400;
inline constexpr int kTextLightEffectLast = 1449;

// Every single id above, for checking the shipped language files; the
// ranges (areas, shortcuts, light effects) are checked on their own.
inline constexpr std::array kFixedUITextIds = {
    kTextCloseTip,
    kTextMinimizeTip,
    kTextWebsiteTip,
    kTextTrayCloseSetup,
    kTextTrayExit,
    kTextOk,
    kTextApply,
    kTextYes,
    kTextNo,
    kTextImport,
    kTextExport,
    kTextAddProfileTip,
    kTextRenameProfileTip,
    kTextDeleteProfileTip,
    kTextCopy,
    kTextPaste,
    kTextRename,
    kTextTabHome,
    kTextTabKeys,
    kTextTabMacros,
    kTextTabLighting,
    kTextTabSettings,
    kTextConnected,
    kTextDisconnected,
    kTextProfileWord,
    kTextDeleteProfileQuestion,
    kTextDeleteProfileTitle,
    kTextProfileLimit,
    kTextInvalidName,
    kTextBlockedMacroName,
    kTextBrightness,
    kTextSpeed,
    kTextDirection,
    kTextCustomColourSet,
    kTextApplyKeyColours,
    kTextColour,
    kTextColourful,
    kTextCustomColour,
    kTextMusicEffect,
    kTextMusicLayerWord,
    kTextMusicAmplitude,
    kTextMusicSensitivity,
    kTextMusicSecondSetting,
    kTextMusicBackgroundBrightness,
    kTextLayerGradientGreenRed,
    kTextLayerRainbow,
    kTextLayerRainbowReverse,
    kTextLayerRadial,
    kTextLayerColourCycle,
    kTextLayerWhite,
    kTextLayerRed,
    kTextLayerOrange,
    kTextLayerYellow,
    kTextLayerGreen,
    kTextLayerBlack,
    kTextLayerBlue,
    kTextMusicEffectType1,
    kTextMusicEffectType2,
    kTextLanguage,
    kTextAutorun,
    kTextResetKeys,
    kTextFactoryReset,
    kTextSoftwareUpdate,
    kTextFirmwareUpdate,
    kTextNoProfileSelected,
    kTextExportProfileTitle,
    kTextNoMacroSelected,
    kTextExportMacroTitle,
    kTextResetKeysQuestion,
    kTextResetKeysTitle,
    kTextFactoryResetQuestion,
    kTextFactoryResetTitle,
    kTextCloseExit,
    kTextCloseToTray,
    kTextCloseExitTip,
    kTextSoftwareUpToDate,
    kTextFirmwareAvailable,
    kTextFirmwareUpToDate,
    kTextRestoreDefault,
    kTextKeyDisabled,
    kTextFunctionType,
    kTextKeyFunction,
    kTextMacro,
    kTextMouseButton,
    kTextMediaFunction,
    kTextShortcut,
    kTextLaunchProgram,
    kTextOpenWebsite,
    kTextTypeText,
    kTextBrowse,
    kTextEmptyMacro,
    kTextFnKeyTitle,
    kTextFnKeyNotAssignable,
    kTextMouseLeft,
    kTextMouseMiddle,
    kTextMouseRight,
    kTextMouseForward,
    kTextMouseBack,
    kTextMediaPlayPause,
    kTextMediaStop,
    kTextMediaPrevious,
    kTextMediaNext,
    kTextVolumeUp,
    kTextVolumeDown,
    kTextMute,
    kTextMyComputer,
    kTextCalculator,
    kTextEmail,
    kTextMediaPlayer,
    kTextBrowserHome,
    kTextBrowserRefresh,
    kTextBrowserStop,
    kTextBrowserBack,
    kTextBrowserForward,
    kTextFavourites,
    kTextBrowserSearch,
    kTextMacroList,
    kTextInsertEvent,
    kTextInsertBefore,
    kTextInsertAfter,
    kTextKeyboard,
    kTextMouse,
    kTextDelay,
    kTextLeftButton,
    kTextMiddleButton,
    kTextRightButton,
    kTextInsert,
    kTextNewMacro,
    kTextDelete,
    kTextPlayTimes,
    kTextRecordDelays,
    kTextNoDelays,
    kTextFixedDelay,
    kTextMilliseconds,
    kTextStartRecording,
    kTextStopRecording,
    kTextMacroSteps,
    kTextInsertDelayTip,
    kTextMoveUpTip,
    kTextMoveDownTip,
    kTextSave,
    kTextMacroWord,
    kTextColumnKey,
    kTextColumnAction,
    kTextColumnDelay,
};

} // namespace Quillon
