// The host's messages about files, worded in one place: in Chinese, each naming its
// file once, in quotes, with the reason in a few words.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "orv/db/types.h"
#include "orv/io/drawing_file.h"

namespace orv::app::messages {

// “path”: how a message names a file.
std::string quoted(const std::filesystem::path& path);
// An errno value in a few Chinese words.
std::string systemError(int error);

// What a file is when it is not one that can be read or written.
inline constexpr const char* kIsDirectory = "这是一个文件夹";
inline constexpr const char* kNotRegularFile = "不是普通文件";
inline constexpr const char* kMissing = "文件不存在";
inline constexpr const char* kFolderMissing = "文件夹不存在";
inline constexpr const char* kNotInFolder = "路径中有一段不是文件夹";
inline constexpr const char* kFolderNotWritable = "没有在这个文件夹中写入的权限";
inline constexpr const char* kReadOnlyFile = "文件是只读的";
inline constexpr const char* kReadOnlyFileSystem = "文件系统只读";

// Failures, each one line without the leading line break.
std::string cannotOpenDrawing(const std::filesystem::path& path, const std::string& reason);
// A damaged DXF: the line (0 when none is known) and what was wrong there.
std::string damagedDrawing(const std::filesystem::path& path, std::size_t line, const std::string& what);
// A drawing file that did not open, whatever it was (DXF, DWG, neither): one line.
std::string cannotOpenDrawing(const std::filesystem::path& path, const io::OpenError& error);
// Why, without the file: "DWG 文件已损坏……".
std::string whyNotOpened(const io::OpenError& error);
// After a DWG whose DXF writer failed opened from LibreDWG's objects.
std::string rebuiltFromObjects();
std::string cannotSaveDrawing(const std::filesystem::path& path, const std::string& reason);
std::string cannotExportPicture(const std::filesystem::path& path, const std::string& reason);
std::string cannotReadScript(const std::filesystem::path& path, const std::string& reason);

// What was read with doubts, after a drawing opened: "注意：第 N 行：…".
std::string finding(std::size_t line, const std::string& what);

// Why the drawing refused a change, in a few words.
std::string databaseStatus(db::Status status);

// The filter of a file dialog that opens a drawing: DWG and DXF, then each, then all files.
std::string openDrawingFilter();

// Successes.
std::string openedDrawing(const std::filesystem::path& path);
std::string savedDrawing(const std::filesystem::path& path);
std::string exportedPicture(const std::filesystem::path& path);

}  // namespace orv::app::messages
