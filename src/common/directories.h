// The shared directory strings: absolute, without trailing backslash, set once at
// start-up and only read afterwards. A file name is formed by appending a text
// that begins with a backslash (DataDir + "\\Init.vtx").
#pragma once
#include <string>

namespace vtx {

extern std::string InstallDir;  // the jukebox's installation folder
extern std::string DataDir;     // per-user application data + "\Velatrix-Tunes 6"
extern std::string ModuleDir;   // DataDir + "\Module"

}  // namespace vtx
