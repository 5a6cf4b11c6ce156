#!/usr/bin/python3
"""Builds the examples of README.md and of the API reference.

Every ```cpp block of README.md and every @code block of the documented
public headers is compiled against the build folder's include tree and
library. A block that defines functions (a complete program, or helpers) is
compiled as it is; any other block is a snippet and is compiled as the body
of a function, with the umbrella header included and the namespace in use.
Complete programs (those with main) are run in a scratch folder and must
exit 0.

Usage: scripts/check-doc-examples.py BUILD_DIR
"""

import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RUN_SECONDS = 60
PRELUDE = "#include <tabulon/Tabulon.h>\n\n#include <iostream>\n\nusing namespace tabulon;\n\n"
# A function definition opening at the start of a line: `int main(...) {`.
FUNCTION_START = re.compile(r"^[A-Za-z_][\w:<>,&* ]*\b[\w:]+\(.*\)\s*(const\s*)?\{\s*$", re.M)


def readme_examples(path):
    examples = []
    lines = open(path, encoding="utf-8").read().split("\n")
    start = None
    for number, line in enumerate(lines, 1):
        if start is None and line.strip() == "```cpp":
            start = number
        elif start is not None and line.strip() == "```":
            examples.append((f"README.md:{start}", "\n".join(lines[start:number - 1])))
            start = None
    return examples


def strip_comment_prefix(line):
    return re.sub(r"^\s*(///?|\*)( |$)", "", line, count=1)


def header_examples(path):
    examples = []
    lines = open(path, encoding="utf-8").read().split("\n")
    start = None
    body = []
    for number, line in enumerate(lines, 1):
        text = strip_comment_prefix(line)
        if start is None and re.match(r"\s*[@\\]code\b", text):
            start, body = number, []
        elif start is not None and re.match(r"\s*[@\\]endcode\b", text):
            examples.append((f"{os.path.relpath(path, ROOT)}:{start}", "\n".join(body)))
            start = None
        elif start is not None:
            body.append(text)
    return examples


def documented_headers(build):
    doxyfile = open(os.path.join(build, "docs-check", "Doxyfile"), encoding="utf-8").read()
    inputs = re.search(r"^INPUT\s*=(.*)$", doxyfile, re.M).group(1)
    return inputs.split()


def cache_value(build, name, default):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            if line.startswith(name + ":"):
                return line.split("=", 1)[1].strip()
    return default


def source_of(code):
    if FUNCTION_START.search(code):
        return PRELUDE + code + "\n"
    return PRELUDE + "void Example() {\n" + code + "\n}\n"


def check(origin, code, compiler, flags, scratch):
    name = re.sub(r"\W", "_", origin)
    source = os.path.join(scratch, name + ".cpp")
    binary = os.path.join(scratch, name)
    with open(source, "w", encoding="utf-8") as out:
        out.write(source_of(code))
    is_program = re.search(r"\bint main\(", code) is not None
    command = [compiler, *flags["compile"], source, "-o", binary]
    command += flags["link"] if is_program else ["-c"]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        return f"{origin}: does not compile\n{result.stderr}"
    if not is_program:
        return None
    run_dir = tempfile.mkdtemp(dir=scratch)
    try:
        result = subprocess.run([binary], cwd=run_dir, capture_output=True, text=True,
                                timeout=RUN_SECONDS)
    except subprocess.TimeoutExpired:
        return f"{origin}: still runs after {RUN_SECONDS} seconds"
    if result.returncode != 0:
        return f"{origin}: exits with {result.returncode}\n{result.stdout}{result.stderr}"
    return None


def main():
    build = os.path.abspath(sys.argv[1])
    flavour = cache_value(build, "TABULON_FLAVOURS", "7").split(";")[0]
    compiler = cache_value(build, "CMAKE_CXX_COMPILER", "c++")
    abi = "0" if flavour == "4" else "1"
    include = os.path.join(build, "include")
    # The include folders the library's CMake target hands its users.
    flags = {
        "compile": ["-std=c++17", "-Wall", "-Werror", f"-D_GLIBCXX_USE_CXX11_ABI={abi}",
                    "-I" + include, "-I" + os.path.join(include, "tabulon")],
        "link": ["-L" + build, "-Wl,-rpath," + build, f"-ltabulon{flavour}-sqlite",
                 f"-ltabulon{flavour}"],
    }
    subprocess.run(["cmake", "--build", build, "--target", f"tabulon{flavour}-sqlite"], check=True,
                   stdout=subprocess.DEVNULL)
    examples = readme_examples(os.path.join(ROOT, "README.md"))
    for header in documented_headers(build):
        examples += header_examples(header)
    with tempfile.TemporaryDirectory() as scratch:
        failures = [f for f in (check(o, c, compiler, flags, scratch) for o, c in examples) if f]
    for failure in failures:
        print(failure)
    print(f"check-docs: {len(examples) - len(failures)} of {len(examples)} examples build"
          " (and the complete programs run)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
