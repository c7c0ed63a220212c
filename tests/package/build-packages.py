#!/usr/bin/python3
"""Every header and library the build uses comes from a Debian package that scripts/packages.sh
installs, itself or through that package's dependencies: the programs' from its build packages,
the tests' from its build and test packages. A package on this machine by chance cannot hide a
missing line of the list that way.

    build-packages.py BUILD_DIR SOURCE_DIR [--all-tests]

The headers come from the compiler's dependency files (ninja -t deps), the libraries from the
link lines; dpkg -S names their packages, apt-cache depends --recurse what the lists bring.
With --all-tests (a build made only to be tested, the sanitizer build), everything is the tests'.
"""

import os
import re
import subprocess
import sys


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=False).stdout


def package_lists(source):
    script = f'source "{source}/scripts/packages.sh"; ' \
             'echo "${BUILD_PACKAGES[*]}"; echo "${TEST_PACKAGES[*]}"'
    build, test = run("bash", "-c", script).splitlines()
    return build.split(), test.split()


def used_files(build):
    """The system's headers and libraries the build uses: {path: whether the programs use it}."""
    used = {}

    def note(path, product):
        used[path] = used.get(path, False) or product

    owner = None
    for line in run("ninja", "-C", build, "-t", "deps").splitlines():
        if not line.startswith(" "):
            owner = line.split(":")[0]
        elif line.strip().startswith("/") and not line.strip().startswith(SOURCE):
            note(os.path.normpath(line.strip()), is_product(owner))
    target = None
    with open(os.path.join(build, "build.ninja")) as rules:
        for line in rules:
            if line.startswith("build ") and "_LINKER__" in line:
                target = line.split()[1].rstrip(":")
            elif line.strip().startswith("LINK_LIBRARIES =") and target:
                for word in line.split("=", 1)[1].split():
                    library = word
                    if word.startswith("-l"):
                        library = run("c++", f"-print-file-name=lib{word[2:]}.so").strip()
                    if library.startswith("/"):
                        note(os.path.normpath(library), is_product(target))
    return used


def is_product(path):
    return not ALL_TESTS and not re.match(r"(tests|bench)/", path or "")


def owners(paths):
    """The package of each path, as dpkg knows it; a merged /usr has two names for a folder."""
    found = {}
    for name_of in (lambda path: path, lambda path: path.replace("/usr/lib/", "/lib/", 1),
                    os.path.realpath):
        names = {name_of(path): path for path in paths if path not in found}
        for line in run("dpkg", "-S", *names).splitlines():
            package, _, name = line.partition(": ")
            if name in names:
                found[names[name]] = package.split(",")[0].split(":")[0].strip()
    return found


def closure(packages):
    answer = run("apt-cache", "depends", "--recurse", "--no-recommends", "--no-suggests",
                 "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances", *packages)
    return {line.strip("<>") for line in answer.splitlines() if line and not line[0].isspace()}


def main():
    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        print("skipped: needs a Ninja build, whose dependency files it reads")
        return 80
    build_packages, test_packages = package_lists(SOURCE)
    used = used_files(BUILD)
    packages = owners(sorted(used))
    programs, tests = closure(build_packages), closure(build_packages + test_packages)
    missing = []
    for path, product in sorted(used.items()):
        package = packages.get(path)
        if package is None:
            missing.append(f"{path}: from no Debian package")
        elif package not in (programs if product else tests):
            where = "BUILD_PACKAGES" if product else "TEST_PACKAGES"
            missing.append(f"{path}: from {package}, which scripts/packages.sh does not install "
                           f"(add it to {where})")
    for line in missing:
        print(line)
    if not missing:
        print(f"{len(used)} headers and libraries, all from the packages the scripts install")
    return 1 if missing else 0


BUILD, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
ALL_TESTS = "--all-tests" in sys.argv
if __name__ == "__main__":
    sys.exit(main())
