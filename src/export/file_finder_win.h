// The file finder: walks a tree and reports each folder and each file to callbacks
// as it is found. Each folder is read with one search, which yields its files and
// its subfolders together (under Wine every search of a folder costs a look at each
// of its entries). No file is collected, so memory stays flat however many files
// the tree holds; a walk holds the names of the subfolders still to visit on each
// level of depth. Between entries the walk lets pending window messages run through
// a pump the caller passes in, so the window repaints and reacts during a long walk.
#pragma once
#include <functional>
#include <string>

#include "export/attribute_mask.h"

namespace vtx {

// The full path of the file WalkTree reports at the moment (folder text + file
// name). Set before each call of the file callback; keeps its last value.
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

// A folder the walk reached.
struct WalkedFolder {
    const std::string& path;  // the root exactly as passed; below it no trailing backslash
    bool root;                // the walk's starting folder
    bool linked;              // a junction or symbolic link found in the tree
};

// Walks the tree below `root`, depth first, each folder before its files and
// subfolders: `folderFound` hears of every folder (the root first, reported also
// when it does not exist; hidden and system folders included) and returns whether
// to read it. A folder read has its files that `fileMask` accepts (see
// MaskAccepts; never "." and "..") reported to `fileFound`, FoundPath set to the
// same path before each call, and its subfolders walked after them. A linked folder
// is reported and, when the callback wants it, its files are read, but its
// subfolders never are, so the walk cannot leave the tree or run round a cycle. A
// folder that cannot be searched counts as empty. The pump runs after every folder
// and every entry; false when it stopped the walk.
bool WalkTree(const std::string& root, unsigned fileMask,
              const std::function<bool(const WalkedFolder& folder)>& folderFound,
              const std::function<void(const std::string& path)>& fileFound, const MessagePump& pump);

}  // namespace vtx
