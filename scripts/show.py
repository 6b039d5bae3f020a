"""Starts the program under Wine and takes a screenshot of it.

On the display in $DISPLAY, if one is set, the program keeps running for you
to use; otherwise it runs on a private virtual display and is ended after the
screenshot. Either way the screenshot's path is printed."""
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness import BUILD, EXE, IMPORT, Session  # noqa: E402

SHOT = BUILD / "screenshot.png"


def main():
    display = os.environ.get("DISPLAY")
    if not display:
        with Session() as session:
            app = session.run()
            app.wait_window(timeout=60)
            time.sleep(1.5)  # let the layout pass and the first paint land
            session.x(IMPORT, "-display", session.display, "-window", "root", "-crop",
                      "760x420+152+124", "+repage", SHOT, timeout=30)
        print(SHOT)
        return 0
    with Session(display=display) as session:  # makes the prefix once
        env = session.env
    subprocess.Popen(["wine", str(EXE)], env=env, start_new_session=True,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(4)
    subprocess.run([IMPORT, "-display", display, "-window", "root", str(SHOT)], check=True,
                   env=env, timeout=30)
    print(SHOT)
    return 0


if __name__ == "__main__":
    sys.exit(main())
