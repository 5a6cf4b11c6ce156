// The check both commands make of their output before they read any input:
// a workbook is written to a new file beside the output and then renamed
// over it, so its folder must take new files and an existing output must be
// a regular file.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "Commands.h"

namespace tabulon {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool CheckOutputPath(const std::string& path, std::string& error) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    error = "cannot write '" + path + "': it exists and is not a regular file";
    return false;
  }
  const std::string folder = FolderOf(path);
  const auto fail = [&](int reason) {
    error = "cannot write '" + path + "': folder '" + folder + "': " + std::strerror(reason);
    return false;
  };
  if (stat(folder.c_str(), &info) != 0) return fail(errno);
  if (!S_ISDIR(info.st_mode)) return fail(ENOTDIR);
  if (access(folder.c_str(), W_OK | X_OK) != 0) return fail(errno);
  return true;
}

}  // namespace tabulon
