"""What the command-line tests share: their own command line (an optional
--wine EMULATOR, the tool, a number of runs), paths as the tool sees them
(under Wine, through its Z: drive), and the list of failures."""
import sys


def command_line(default_runs=None):
    """(prefix, tool, runs): run the tool as prefix + [tool] + arguments."""
    args = sys.argv[1:]
    prefix = []
    if args[:1] == ["--wine"]:
        prefix, args = [args[1]], args[2:]
    runs = int(args[1]) if len(args) > 1 else default_runs
    return prefix, args[0], runs


def tool_path(prefix, path):
    """A local path as the tool under test sees it."""
    return "Z:" + path.replace("/", "\\") if prefix else path


failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")


def finish(summary):
    for f in failures:
        print("FAIL", f)
    print(summary)
    sys.exit(1 if failures else 0)
