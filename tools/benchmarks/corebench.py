"""Runs tavcorebench.exe and collects its figures."""
import json
import os
import subprocess


def run(root, build, seconds=0.5):
    exe = os.path.join(build, "tools", "benchmarks", "tavcorebench.exe")
    out = subprocess.run([os.path.join(root, "tools", "bench", "wine-run.sh"), build, exe, str(seconds)],
                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         check=True, timeout=1800).stdout.decode()
    return [json.loads(line) for line in out.splitlines() if line.startswith("{")]
