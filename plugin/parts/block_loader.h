// Placing a block of a part-library drawing in the current drawing: the one procedure behind valves and custom parts.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "dbmain.h"
#include "gept.h"

// Where and how the new block reference goes.
struct BlockPlacement {
  AcGePoint3d position;             // only x and y are used: the reference lies at z = 0
  double xScale = 1.0;
  double yScale = 1.0;
  std::optional<double> rotation;   // radians; none leaves the host's default
  // What the command line says when a scale is 0: a reference without size cannot
  // be drawn, and the user would see nothing appear without knowing why.
  const wchar_t* noSizeMessage = L"\n比例为零，未插入图块。";
};

// Brings block `blockName` of the library drawing `drawingFile` into the
// current drawing and adds one new reference to it in model space.
//
// A library drawing holds the block and at least one reference to it; the
// first reference found carries the definition, with everything it depends
// on, into the current drawing and is erased again, so that only the
// definition stays. A block the drawing already defines keeps the drawing's
// definition. The file is read afresh on every call.
//
// Returns 1 when the reference was added and 0 otherwise, after telling the
// user why on the command line ("\n加载图形错误.", the placement's noSizeMessage
// when a scale is 0, once the library drawing was read) or in an alert box. The
// current drawing is unchanged by a failure before the merge; a failure
// after it leaves what the merge brought.
int placeLibraryBlock(const std::wstring& drawingFile, const std::wstring& blockName,
                      const BlockPlacement& placement);

// A library drawing read into a side database of its own, with the block
// of the name asked for and the first reference to it.
struct LibraryDrawing {
  std::unique_ptr<AcDbDatabase> database;
  AcDbObjectId blockRecord;     // the block of that name in `database`
  AcDbObjectId firstReference;  // null when the block has no reference
};

// How far reading a library drawing got.
enum class LibraryRead { ok, loadFailed, noBlockTable, noBlockRecord, noIterator, noReference };

// Reads a library drawing and finds block `blockName` and the first reference
// to it that the host's iterator yields. Every failure but a missing
// reference is reported to the user as it happens, as placeLibraryBlock does;
// whether a missing reference is worth a message is the caller's to say.
LibraryRead readLibraryDrawing(const std::wstring& drawingFile, const std::wstring& blockName,
                               LibraryDrawing& drawing);

// The text of the loader's failures, as the user sees them.
namespace loader_messages {
inline constexpr const wchar_t* kLoadFailed = L"\n加载图形错误.";
inline constexpr const wchar_t* kNoBlockTable = L"获得块表失败!";
inline constexpr const wchar_t* kNoBlockRecord = L"获得指定的块表记录失败!";
inline constexpr const wchar_t* kNoIterator = L"创建遍历器失败!";
inline constexpr const wchar_t* kNoReference = L"实体数组中未包含任何实体!";
inline constexpr const wchar_t* kWblockFailed = L"wblock操作失败!";
inline constexpr const wchar_t* kInsertFailed = L"insert操作失败!";
inline constexpr const wchar_t* kNoLastEntity = L"获得模型空间最后一个实体失败!";
}  // namespace loader_messages
