"""Drives orvcad with script files for the end-to-end tests.

Each session gets a temporary module directory holding a symbolic link to the
plug-in module, so that its draw.ini starts absent and stays private.
"""
import os
import shutil
import subprocess
import tempfile
import unittest

ORVCAD = os.environ["ORVCAD"]
MODULE = os.environ["ORV_MODULE"]

# The user's state, data and cache folders (recovery files, the user's own module
# folder, converted DWGs) of every orvcad a test starts lie in a folder of this test
# run, never in the home folder of whoever runs the tests.
_USER_FOLDERS = tempfile.TemporaryDirectory(prefix="orv-e2e-user-")
os.environ["XDG_STATE_HOME"] = os.path.join(_USER_FOLDERS.name, "state")
os.environ["XDG_DATA_HOME"] = os.path.join(_USER_FOLDERS.name, "data")
os.environ["XDG_CACHE_HOME"] = os.path.join(_USER_FOLDERS.name, "cache")

COMMAND = "\n命令: "


def reply(prompt, answer):
    """What the transcript shows for a prompt answered in a script."""
    return prompt + answer + "\n"


def cancelled(prompt):
    return prompt + "*取消*\n"


class Session:
    def __init__(self, testcase):
        self._tmp = tempfile.TemporaryDirectory(prefix="orv-e2e-")
        testcase.addCleanup(self._tmp.cleanup)
        self.dir = self._tmp.name
        self.module_dir = os.path.join(self.dir, "mod")
        os.mkdir(self.module_dir)
        self.module = os.path.join(self.module_dir, "orvpipe07.arx")
        os.symlink(MODULE, self.module)
        self.ini = os.path.join(self.module_dir, "draw.ini")

    def run(self, lines, args=(), check=True, orvcad=ORVCAD, env=None):
        """Runs orvcad with the lines as its script; returns (stdout, stderr, status).
        env: the environment instead of the test's own."""
        script = os.path.join(self.dir, "script.scr")
        with open(script, "w", encoding="utf-8", newline="\n") as f:
            f.write("".join(line + "\n" for line in lines))
        proc = subprocess.run(
            [orvcad, "--module", self.module, "--script", script, *args],
            stdin=subprocess.DEVNULL, capture_output=True, timeout=60, env=env)
        out = proc.stdout.decode("utf-8")
        err = proc.stderr.decode("utf-8", "replace")
        if check and proc.returncode != 0:
            raise AssertionError(f"orvcad exited {proc.returncode}: {err}")
        return out, err, proc.returncode

    def ini_text(self):
        if not os.path.exists(self.ini):
            return None
        with open(self.ini, "rb") as f:
            return f.read().decode("utf-8")

    def write_ini(self, text, encoding="utf-8"):
        with open(self.ini, "wb") as f:
            f.write(text.encode(encoding))


_LAYOUT = None


def reachable_layout():
    """A copy of the ready layout (bin/orvcad beside lib/orvcad with the module, the
    renderer and the sample libraries) in a folder every user may enter, made once per
    test run: tests that run orvcad as another user work wherever the project lies,
    a private folder included. Its top folder, bin/orvcad and the module."""
    global _LAYOUT
    if _LAYOUT is None:
        stage = os.path.dirname(os.path.dirname(os.path.realpath(ORVCAD)))
        holder = tempfile.TemporaryDirectory(prefix="orv-e2e-layout-")
        os.chmod(holder.name, 0o755)
        top = os.path.join(holder.name, "stage")
        shutil.copytree(stage, top)
        module = os.path.join(top, os.path.relpath(os.path.realpath(MODULE), stage))
        _LAYOUT = (holder, top, os.path.join(top, os.path.relpath(os.path.realpath(ORVCAD), stage)), module)
    return _LAYOUT[1:]


def transcript(*parts):
    """A whole session's standard output: the parts, the final command prompt and the last line end."""
    return "".join(parts) + COMMAND + "\n"


def main():
    unittest.main(verbosity=2)
