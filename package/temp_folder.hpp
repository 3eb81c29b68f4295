#pragma once
// The temporary folder T in which the package is unpacked.

#include <string>

namespace platform {
class system;
}

namespace package {

/// The Windows directory + "\\temp\\" on the Windows 95/98 family (platform id 1), the
/// Windows directory's drive + "\\temp\\" on NT (platform id 2), and "" (names relative to the
/// current folder) on any other platform. The folder is not created.
std::string temp_folder(platform::system& sys);

}  // namespace package
