// The file finder: walks the files of one folder and the folders of a tree and
// reports each entry to a callback as it is found. Nothing is collected, so memory
// stays flat however large the tree; a walk holds one open search per level of
// depth. Between entries the walks let pending window messages run through a pump
// the caller passes in, so the window repaints and reacts during a long walk.
#pragma once
#include <functional>
#include <string>

#include "export/attribute_mask.h"

namespace vtx {

// The full path of the file ForEachFile reports at the moment (folder text as
// passed + file name). Set before each call of the callback; keeps its last value.
extern std::string FoundPath;

// Lets pending window messages run between two entries of a walk. Returns false
// when the walk must stop (the program is closing); it keeps returning false from
// then on, so every level of a walk unwinds.
using MessagePump = std::function<bool()>;

// The program's pump: dispatches every message waiting in this thread's queue.
// A quit request is put back for the main loop and answered with false.
bool PumpPendingMessages();
// The pump for the window's long actions: PumpPendingMessages, run at most every
// 10 milliseconds (see PacedPump).
MessagePump WindowMessagePump();
// A pump for walks without a window: lets nothing run, never stops.
bool NoMessagePump();

// Reports every entry of `folder` + `pattern` (the caller supplies the separating
// backslash) that `mask` accepts (see MaskAccepts); never "." and "..". FoundPath is set before each
// call of `fileFound`, which gets the same text. The pump runs after every entry.
// A search that cannot start counts as an empty folder. False when the pump
// stopped the walk.
bool ForEachFile(const std::string& folder, const std::string& pattern, unsigned mask,
                 const std::function<void(const std::string& path)>& fileFound, const MessagePump& pump);

// Reports `path` exactly as passed (also when it does not exist), runs the pump,
// then walks every subfolder below it depth first, each parent before its children,
// subfolders without a trailing backslash, hidden and system ones included.
// `folderFound` returns false to leave a folder's subfolders alone. A linked folder
// (junction, symbolic link) is reported but never entered, so the walk cannot leave
// the tree or run round a cycle. False when the pump stopped the walk.
bool ForEachFolder(const std::string& path, const std::function<bool(const std::string& folder)>& folderFound,
                   const MessagePump& pump);

}  // namespace vtx
