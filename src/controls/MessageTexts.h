#pragma once

namespace vornex {

// Fixed texts of the program that the language files do not hold, shared by the windows and the
// command-line tool.

// Start without an open test (a message box).
inline constexpr const char* kNoTestText = "开始测试失败，请新建测试！";
inline constexpr const char* kNoTestCaption = "提示";

// The new-test dialog's message line: a file of that name exists today; the name would leave the
// day folder.
inline constexpr const char* kTestExistsText = "提示:文件已存在！";
inline constexpr const char* kTestBadNameText = "提示:名称不能含有路径！";

}  // namespace vornex
