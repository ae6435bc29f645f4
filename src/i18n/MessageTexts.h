#pragma once

namespace vornex {

// Fixed texts of the program that the language files do not hold, shared by the windows and the
// command-line tool.

// Start without an open test (a message box).
inline constexpr const char* kNoTestText = "开始测试失败，请新建测试！";
inline constexpr const char* kNoTestCaption = "提示";

// The new-test dialog's message line: a file of that name exists today; the name would leave the
// day folder; is empty or blank; holds a control character; is too long for a file name; the
// system refused to create the file.
inline constexpr const char* kTestExistsText = "提示:文件已存在！";
inline constexpr const char* kTestBadNameText = "提示:名称不能含有路径！";
inline constexpr const char* kTestBlankNameText = "提示:名称不能为空！";
inline constexpr const char* kTestControlCharText = "提示:名称不能含有控制字符！";
inline constexpr const char* kTestNameTooLongText = "提示:名称太长！";
inline constexpr const char* kTestCannotCreateText = "提示:无法创建文件！";

// The program ends with points its test file did not take: %1 count, %2 test file, %3 reason.
inline constexpr const char* kUnwrittenText =
    "提示:测试 %2 有 %1 个点未能写入（%3）。请选择保存这些点的文件。";
// Saving them elsewhere failed too: %1 reason.
inline constexpr const char* kUnwrittenSaveFailedText = "提示:保存失败（%1）！";

// Exit while a recording runs, and its two answers.
inline constexpr const char* kExitRecordingText =
    "正在记录，停止记录并退出吗？\n已记录的数据点保留在测试文件中。";
inline constexpr const char* kStopAndExitText = "停止并退出";
inline constexpr const char* kCancelText = "取消";

}  // namespace vornex
