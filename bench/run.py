#!/usr/bin/python3
"""Startup, screen-move and idle benchmark of the installed Cifrella against a
bare Qt window, under Xvfb with openbox. Run through bench/run.sh."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

PAIRS = int(os.environ.get("BENCH_PAIRS", "12"))
MOVES = int(os.environ.get("BENCH_MOVES", "30"))
IDLE_SECONDS = int(os.environ.get("BENCH_IDLE", "30"))


def start_display():
    for n in range(60, 100):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            break
    display = f":{n}"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display)
    for _ in range(200):
        if os.path.exists(f"/tmp/.X11-unix/X{n}"):
            break
        time.sleep(0.02)
    wm = subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL)
    for _ in range(200):
        out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                             capture_output=True, text=True).stdout
        if "window id" in out:
            break
        time.sleep(0.02)
    return env, [wm, xvfb]


def start_once(probe, env, program):
    out = subprocess.run([probe, "start", "Cifrella", "ff8080", *program], env=env,
                         capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]), int(out[1])


def summary(name, values, unit):
    return (f"{name:<34} median {statistics.median(values):8.2f} {unit}   "
            f"min {min(values):8.2f}   max {max(values):8.2f}")


def main():
    prefix, tools = sys.argv[1], sys.argv[2]
    probe = os.path.join(tools, "probe")
    a = [os.path.join(prefix, "bin", "cifrella")]
    b = [os.path.join(tools, "bare_window")]
    b_text = b + ["--text"]
    c = [os.path.join(tools, "content_floor")]
    env, servers = start_display()
    try:
        for program in (a, b, b_text, c):  # warm-up
            start_once(probe, env, program)
        runs = {"A": [], "B": [], "Bt": [], "C": []}
        for _ in range(PAIRS):
            runs["A"].append(start_once(probe, env, a))
            runs["B"].append(start_once(probe, env, b))
            runs["Bt"].append(start_once(probe, env, b_text))
            runs["C"].append(start_once(probe, env, c))
        ms = {k: [r[0] for r in v] for k, v in runs.items()}
        rss = {k: [r[1] / 1024 for r in v] for k, v in runs.items()}
        print(f"Startup, exec to first window viewable and painted, {PAIRS} runs each, alternating A B B' C")
        print(summary("A  Cifrella", ms["A"], "ms"))
        print(summary("B  bare Qt window", ms["B"], "ms"))
        print(summary("B' bare window + one button", ms["Bt"], "ms"))
        print(summary("C  same content, no logic", ms["C"], "ms"))
        for name, key in (("A/B pair by pair", "B"), ("A/B' pair by pair", "Bt"), ("A/C pair by pair", "C")):
            print(summary(name, [x / y for x, y in zip(ms["A"], ms[key])], "  "))
        print("Resident memory 2 s after the window appears")
        for k, label in (("A", "A  Cifrella"), ("B", "B  bare Qt window"), ("Bt", "B' bare window + one button"),
                         ("C", "C  same content, no logic")):
            print(summary(label, rss[k], "MB"))
        print(f"{'RSS ratio A/B (medians)':<34} {statistics.median(rss['A']) / statistics.median(rss['B']):8.3f}")
        label = "RSS ratio A/B' (medians)"
        print(f"{label:<34} {statistics.median(rss['A']) / statistics.median(rss['Bt']):8.3f}")
        print(f"{'RSS ratio A/C (medians)':<34} {statistics.median(rss['A']) / statistics.median(rss['C']):8.3f}")

        app = subprocess.Popen(a, env=env, stderr=subprocess.DEVNULL)
        try:
            subprocess.run([probe, "wait"], env=env, capture_output=True)
            time.sleep(0.5)
            moved = subprocess.run([probe, "move", str(MOVES)], env=env, capture_output=True, text=True)
            if moved.returncode != 0:
                sys.exit(f"screen moves failed after {moved.stdout.count(chr(10))} moves: {moved.stderr.strip()}")
            out = moved.stdout.split("\n")
            pairs = [tuple(map(float, line.split())) for line in out if line.strip()]
            print(f"Screen moves, {MOVES} each way")
            print(summary("start button → puzzle with its deal", [p[0] for p in pairs], "ms"))
            print(summary("Esc → start screen", [p[1] for p in pairs], "ms"))
            # onto the puzzle screen, check once so the message timer runs, then idle
            subprocess.run([probe, "puzzle-check"], env=env, check=True)
            idle = float(subprocess.run([probe, "idle", str(IDLE_SECONDS), str(app.pid)], env=env,
                                        capture_output=True, text=True, check=True).stdout)
            print(f"{'Idle on the puzzle, timer running':<34} {idle:8.3f} % CPU over {IDLE_SECONDS} s")
        finally:
            app.kill()
            app.wait()
    finally:
        for p in servers:
            p.kill()
            p.wait()


if __name__ == "__main__":
    main()
