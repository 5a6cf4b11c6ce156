// Helpers for tests that run the built programs (the tabulon command, the
// examples) as separate processes and read their output files back with xlrd.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tabulon {
namespace test {

struct TRunResult {
  int Status = -1;  // exit status, or -1 when the program did not exit normally
  std::string Out;
  std::string Err;
};

inline std::string ScratchDir() {
  const char* dir = std::getenv("TABULON_TMP");
  return dir && *dir ? dir : "/tmp";
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

inline bool FileExists(const std::string& path) {
  return std::ifstream(path).good();
}

inline std::string ShellQuoted(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs the program with its arguments; stdout and stderr are captured apart
// (in files named after this process, so tests may run side by side).
inline TRunResult Run(const std::vector<std::string>& argv) {
  const std::string capture = ScratchDir() + "/run" + std::to_string(getpid());
  const std::string outPath = capture + ".out";
  const std::string errPath = capture + ".err";
  std::string command;
  for (const std::string& arg : argv) command += ShellQuoted(arg) + " ";
  command += ">" + ShellQuoted(outPath) + " 2>" + ShellQuoted(errPath) + " </dev/null";
  const int raw = std::system(command.c_str());
  TRunResult result;
  result.Status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.Out = ReadFile(outPath);
  result.Err = ReadFile(errPath);
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return result;
}

// What xlrd reads from an .xls file, in the line format of dump_xls.py; the
// reader's own complaint when it cannot read the file.
inline std::string DumpXls(const std::string& path) {
  const TRunResult result =
      Run({"/usr/bin/python3", TABULON_SOURCE_DIR "/tests/tools/dump_xls.py", path});
  return result.Status == 0 ? result.Out : "xlrd failed: " + result.Err;
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

inline bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace test
}  // namespace tabulon
