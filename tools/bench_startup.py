"""Start-up time of the launcher under Wine against a bare borderless window.

Measures, for each program, the time from process start to its finished window
on screen at its finished size (734 x 379), over several alternating runs, and reports the
medians and their ratio. The bare window is built the same way and does
nothing but show itself, so the ratio is what the launcher's own work costs.

    /usr/bin/python3 tools/bench_startup.py [runs]
"""
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness import BUILD, EXE, Session, wait_until  # noqa: E402

BARE = BUILD / "win64" / "bare_window.exe"


def time_to_window(session, exe):
    started = time.monotonic()
    app = session.run(exe)
    win = wait_until(lambda: [w for w in app.windows() if w.size == (734, 379)], 30,
                     "the finished window", interval=0.005)[0]
    elapsed = time.monotonic() - started
    app.kill()
    return elapsed


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 9
    with Session() as session:
        time_to_window(session, EXE)  # warm the wineserver and the file cache
        time_to_window(session, BARE)
        launcher, bare = [], []
        for _ in range(runs):
            launcher.append(time_to_window(session, EXE))
            bare.append(time_to_window(session, BARE))
    lm, bm = statistics.median(launcher), statistics.median(bare)
    print(f"launcher median {lm * 1000:.0f} ms, bare window median {bm * 1000:.0f} ms, "
          f"ratio {lm / bm:.2f} ({runs} runs each)")


if __name__ == "__main__":
    main()
