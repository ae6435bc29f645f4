#pragma once

namespace vornex::command {

// Command ids of the main menu. Each QAction of the menu carries its id as data().
inline constexpr int kTestClose = 32770;
inline constexpr int kTestNew = 32771;
inline constexpr int kTestData = 32772;
inline constexpr int kUploadData = 32774;
inline constexpr int kInstrumentSettings = 32775;
inline constexpr int kLanguageZhCN = 32776;
inline constexpr int kLanguageZhTW = 32777;
inline constexpr int kLanguageEnUS = 32778;
inline constexpr int kExportView = 32790;
inline constexpr int kExportWholeTest = 32791;
inline constexpr int kExportViewPoints = 32792;
inline constexpr int kTestReport = 32793;
inline constexpr int kVerifyTool = 32794;
inline constexpr int kTestSign = 32795;
inline constexpr int kRegister = 32796;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;

}  // namespace vornex::command
