"""What the command-line tests share: their own command line (an optional
--wine EMULATOR, an optional --measure-memory, the tool, a number of runs),
the peak memory of a run, paths as the tool sees them (under Wine, through
its Z: drive), and the list of failures."""
import os
import subprocess
import sys

# Set by --measure-memory: the tool runs natively, without ThreadSanitizer's
# shadow memory, so its peak resident size says what its own data costs.
measure_memory = False


def command_line(default_runs=None):
    """(prefix, tool, runs): run the tool as prefix + [tool] + arguments."""
    global measure_memory
    args = sys.argv[1:]
    prefix = []
    if args[:1] == ["--wine"]:
        prefix, args = [args[1]], args[2:]
    if args[:1] == ["--measure-memory"]:
        measure_memory, args = True, args[1:]
    runs = int(args[1]) if len(args) > 1 else default_runs
    return prefix, args[0], runs


def run_measured(command):
    """Runs command to its end: (status, stdout, stderr, peak resident MiB of
    that process alone). The peak means something only with measure_memory."""
    env = dict(os.environ)
    # LeakSanitizer's check at the end would count in the peak.
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    p = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    out = p.stdout.read().decode("utf-8", "replace")
    err = p.stderr.read().decode("utf-8", "replace")
    _, status, usage = os.wait4(p.pid, 0)
    p.returncode = os.waitstatus_to_exitcode(status)
    return p.returncode, out, err, usage.ru_maxrss // 1024


def run_on_terminal(command):
    """Runs command to its end with a pseudo-terminal as its standard
    output: (status, what it wrote, the terminal's "\r\n" line ends made
    "\n" again, so every "\r" left is the tool's own)."""
    import pty
    pid, fd = pty.fork()
    if pid == 0:
        try:
            os.execv(command[0], command)
        finally:
            os._exit(127)
    data = b""
    while True:
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            break
        if not chunk:
            break
        data += chunk
    _, status = os.waitpid(pid, 0)
    os.close(fd)
    text = data.decode("utf-8", "replace").replace("\r\n", "\n")
    return os.waitstatus_to_exitcode(status), text


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
