#!/usr/bin/env python3
"""Works the real qavshow in a real X window as a person would: menus by keyboard, names typed
into the file dialogs, screenshots compared pixel for pixel with what qavconv makes of the same
files. Waits on conditions (windows by title, files), never on fixed sleeps."""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

CONVERT = "/usr/bin/convert"  # ImageMagick's own, not a stand-in earlier on the PATH
IMPORT = "/usr/bin/import"
TIMEOUT = 60.0


class Failure(Exception):
    pass


def wait_for(what, condition, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise Failure("timed out waiting for " + what)


def run(*argv, check=True, **kwargs):
    return subprocess.run(argv, check=check, capture_output=True, text=True, **kwargs)


class Display:
    """A private X server, with a window manager so that focus follows new windows."""

    def __init__(self):
        self.number = self._free_display()
        self.name = ":%d" % self.number
        self.server = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ["DISPLAY"] = self.name
        wait_for("the X server", lambda: run("xdpyinfo", check=False).returncode == 0)
        self.manager = None
        if shutil.which("openbox"):
            self.manager = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
            wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK" in
                     run("xprop", "-root", check=False).stdout)

    @staticmethod
    def _free_display():
        for number in range(90, 190):
            if not os.path.exists("/tmp/.X11-unix/X%d" % number) and \
                    not os.path.exists("/tmp/.X%d-lock" % number):
                return number
        raise Failure("no free X display number")

    def close(self):
        for process in (self.manager, self.server):
            if process:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()


def windows_named(title):
    result = run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title, check=False)
    return [int(w) for w in result.stdout.split()]


def wait_window(title, exclude=()):
    return wait_for("window '%s'" % title,
                    lambda: next((w for w in windows_named(title) if w not in exclude), None))


def wait_window_gone(window):
    def gone():
        info = run("xwininfo", "-id", str(window), check=False)
        return info.returncode != 0 or "IsViewable" not in info.stdout
    wait_for("window %d to close" % window, gone)


def focus(window):
    run("xdotool", "windowactivate", "--sync", str(window), check=False)
    run("xdotool", "windowfocus", "--sync", str(window), check=False)


def keys(*names):
    run("xdotool", "key", "--clearmodifiers", "--delay", "40", *names)


def type_text(text):
    run("xdotool", "type", "--clearmodifiers", "--delay", "10", text)


def client_origin(window):
    info = run("xwininfo", "-id", str(window)).stdout
    x = int(info.split("Absolute upper-left X:")[1].split()[0])
    y = int(info.split("Absolute upper-left Y:")[1].split()[0])
    return x, y


def read_ppm(path_or_bytes):
    data = path_or_bytes if isinstance(path_or_bytes, bytes) else open(path_or_bytes, "rb").read()
    fields, position = [], 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    assert fields[0] == b"P6" and fields[3] == b"255"
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[position + 1:position + 1 + width * height * 3]


def image_pixels(path):
    """Any image file as (width, height, RGB bytes), through ImageMagick."""
    return read_ppm(run(CONVERT, path, "-depth", "8", "ppm:-", text=False).stdout)


def screenshot(directory):
    path = os.path.join(directory, "screen.png")
    run(IMPORT, "-window", "root", path)
    return image_pixels(path), path


def picture_in_screen(screen, picture, origin, max_offset=(16, 80)):
    """Finds the picture's top-left pixel in the screenshot near the window's client origin and
    checks every pixel of the visible part of it."""
    sw, sh, spx = screen
    pw, ph, ppx = picture
    ox, oy = origin
    first_row = ppx[:pw * 3]
    for dy in range(max_offset[1]):
        for dx in range(max_offset[0]):
            x, y = ox + dx, oy + dy
            if x + pw > sw or y + ph > sh:
                continue
            start = (y * sw + x) * 3
            if spx[start:start + min(pw, 32) * 3] != first_row[:min(pw, 32) * 3]:
                continue
            if all(spx[((y + r) * sw + x) * 3:((y + r) * sw + x + pw) * 3] ==
                   ppx[r * pw * 3:(r + 1) * pw * 3] for r in range(ph)):
                return (dx, dy)
    return None


class Viewer:
    def __init__(self, binaries, working_directory):
        self.binaries = binaries
        self.process = subprocess.Popen([os.path.join(binaries, "qavshow")], cwd=working_directory,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.window = wait_window("QAV simple view")
        wait_for("the main window to be mapped",
                 lambda: "IsViewable" in run("xwininfo", "-id", str(self.window)).stdout)

    def menu(self, menu_letter, item_letter):
        focus(self.window)
        keys("alt+" + menu_letter)
        keys(item_letter)

    def file_dialog(self, title, path):
        dialog = wait_window(title)
        focus(dialog)
        keys("ctrl+a")
        type_text(path)
        keys("Return")
        wait_window_gone(dialog)

    def open(self, path):
        self.menu("f", "o")
        self.file_dialog("Open", path)

    def save(self, path):
        self.menu("f", "s")
        self.file_dialog("Save As", path)

    def error_box_text(self):
        box = wait_window("QAV simple view", exclude=[self.window])
        focus(box)
        keys("ctrl+c")
        text = wait_for("the error text on the clipboard",
                        lambda: run("xclip", "-o", "-selection", "clipboard", check=False).stdout)
        keys("Return")
        wait_window_gone(box)
        return text

    def shows(self, picture_path, directory):
        picture = image_pixels(picture_path)
        def found():
            screen, _ = screenshot(directory)
            return picture_in_screen(screen, picture, client_origin(self.window))
        return wait_for("the picture of %s on the screen" % os.path.basename(picture_path), found,
                        timeout=20)

    def exit(self):
        self.menu("f", "x")
        return self.process.wait(30)


def qavconv(binaries, source, target, *options):
    result = run(os.path.join(binaries, "qavconv"), *options, source, target, check=False)
    if result.returncode != 0:
        raise Failure("qavconv %s failed: %s" % (source, result.stderr))
    return target


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok:", message)


def test_bitmaps(viewer, binaries, samples, work):
    bitmaps = sorted(f for f in os.listdir(samples) if f.lower().endswith(".bmp"))
    check(bitmaps, "the samples folder holds bitmaps")
    for name in bitmaps:
        source = os.path.join(samples, name)
        viewer.open(source)
        viewer.shows(source, work)
        check(True, "%s is shown 1:1 at the top-left of the scroll box" % name)
    saved = os.path.join(work, "saved copy.bmp")
    viewer.save(saved)
    wait_for("the saved file", lambda: os.path.exists(saved) and os.path.getsize(saved) > 0)
    check(image_pixels(saved) == image_pixels(os.path.join(samples, bitmaps[-1])),
          "File > Save wrote the pixels of the shown picture")

    missing = os.path.join(work, "no such picture.bmp")
    viewer.open(missing)
    text = viewer.error_box_text()
    check("Cannot open file " + missing in text, "a missing file gives an error box naming it")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--samples", required=True)
    arguments = parser.parse_args()
    binaries = os.path.abspath(arguments.bin)
    samples = os.path.abspath(arguments.samples)
    display = Display()
    work = tempfile.mkdtemp(prefix="qavshow-e2e-")
    viewer = None
    try:
        viewer = Viewer(binaries, work)
        test_bitmaps(viewer, binaries, samples, work)
        status = viewer.exit()
        check(status == 0, "File > Exit ends the program with status 0")
        viewer = None
        return 0
    except Failure as failure:
        print("FAILED:", failure)
        try:
            _, path = screenshot(work)
            kept = os.path.join(tempfile.gettempdir(), "qavshow-e2e-failure.png")
            shutil.copy(path, kept)
            print("screenshot of the failure:", kept)
        except Exception:  # noqa: BLE001 - the screenshot is only a help
            pass
        return 1
    finally:
        if viewer:
            viewer.process.kill()
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
