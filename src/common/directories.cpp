#include "common/directories.h"

namespace vtx {

std::string InstallDir;
std::string DataDir;
std::string ModuleDir;

}  // namespace vtx
