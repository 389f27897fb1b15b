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
STARTED = time.monotonic()


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


def run(*argv, check=True, text=True, **kwargs):
    return subprocess.run(argv, check=check, capture_output=True, text=text, **kwargs)


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
            try:
                wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK" in
                         run("xprop", "-root", check=False).stdout, timeout=15)
            except Failure:
                print("note: no window manager came up; focus is set by xdotool alone")

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


def crop(picture, width, height):
    pw, ph, ppx = picture
    width, height = min(width, pw), min(height, ph)
    return width, height, b"".join(ppx[r * pw * 3:(r * pw + width) * 3] for r in range(height))


def enlarge(picture, factor):
    """Every pixel as a factor x factor block, as the viewer enlarges."""
    if factor == 1:
        return picture
    width, height, pixels = picture
    rows = []
    for r in range(height):
        row = pixels[r * width * 3:(r + 1) * width * 3]
        wide = b"".join(row[x * 3:x * 3 + 3] * factor for x in range(width))
        rows.extend([wide] * factor)
    return width * factor, height * factor, b"".join(rows)


def picture_in_screen(screen, picture, origin, max_offset=(16, 80)):
    """Finds the picture's top-left pixel in the screenshot near the window's client origin and
    checks every pixel of the part that the scroll box shows at its start size."""
    sw, sh, spx = screen
    pw, ph, ppx = crop(picture, 380, 180)
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
    def __init__(self, binaries, working_directory, arguments=()):
        self.binaries = binaries
        self.process = subprocess.Popen([os.path.join(binaries, "qavshow"), *arguments],
                                        cwd=working_directory, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT)
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

    def dismiss_error_box(self):
        """Waits for an error box (a second window captioned with the program's title), checks
        that OK, the default button, closes it, and that the main window is still there."""
        box = wait_window("QAV simple view", exclude=[self.window])
        focus(box)
        keys("Return")
        wait_window_gone(box)
        check(self.process.poll() is None and self.window in windows_named("QAV simple view"),
              "the error box closed with Enter and the program goes on")

    def shows(self, picture_path, directory, enlarged=1):
        picture = enlarge(image_pixels(picture_path), enlarged)
        def found():
            screen, _ = screenshot(directory)
            return picture_in_screen(screen, picture, client_origin(self.window))
        return wait_for("the picture of %s on the screen" % os.path.basename(picture_path), found,
                        timeout=20)

    def press(self, *names):
        focus(self.window)
        keys(*names)

    def exit(self):
        self.menu("f", "x")
        return self.process.wait(30)


def qavconv(binaries, source, target, *options):
    # In the target's folder, where a GIF's hand-over files may be written.
    result = run(os.path.join(binaries, "qavconv"), *options, source, target, check=False,
                 cwd=os.path.dirname(target))
    if result.returncode != 0:
        raise Failure("qavconv %s failed: %s" % (source, result.stderr))
    return target


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok: %s (%.1f s)" % (message, time.monotonic() - STARTED), flush=True)


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
    viewer.dismiss_error_box()
    check(True, "a missing file gives an error box")


def samples_named(samples, ending):
    return sorted(os.path.join(samples, f) for f in os.listdir(samples) if f.lower().endswith(ending))


def storage_method(path):
    with open(path, "rb") as file:
        header = file.read(6)
    return header[5] if len(header) == 6 and header[:3] == b"QAV" else None


def test_qav_samples(viewer, binaries, samples, work):
    files = samples_named(samples, ".qav")
    check(files, "the samples folder holds QAV files")
    methods = set()
    for path in files:
        reference = qavconv(binaries, path, os.path.join(work, "reference.bmp"))
        viewer.open(path)
        viewer.shows(reference, work)
        methods.add(storage_method(path))
        check(True, "%s (storage method %s) is shown as qavconv decodes it"
              % (os.path.basename(path), storage_method(path)))
    check({0, 1, 2} <= methods, "samples of all three storage methods were shown")


def test_refused_qav(viewer, work):
    refused = os.path.join(work, "not really.qav")
    with open(refused, "wb") as file:
        file.write(b"qav\0\x31\0")
    viewer.open(refused)
    viewer.dismiss_error_box()
    check(True, "a refused QAV file gives an error box")


def properties_lines(viewer):
    viewer.menu("f", "p")
    window = wait_window("Properties")
    focus(window)
    # xclip stays behind to serve the selection: it must not hold our pipes.
    subprocess.run(["xclip", "-i", "-selection", "clipboard"], input="(cleared)", text=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    keys("ctrl+a", "ctrl+c")
    text = wait_for("the properties text on the clipboard", lambda: (lambda t: t if t and
                    t != "(cleared)" else None)(run("xclip", "-o", "-selection", "clipboard",
                                                    check=False).stdout))
    keys("Escape")
    wait_window_gone(window)
    return text.split("\n")


def test_properties(viewer, samples, work):
    bitmap = samples_named(samples, ".bmp")[0]
    viewer.open(bitmap)
    viewer.shows(bitmap, work)
    width, height, _ = image_pixels(bitmap)
    lines = properties_lines(viewer)
    check(lines[:5] == ["-" * 30, "Memory storage: Windows Bitmap", "-" * 30,
                        "X size (pixels):  %d" % width, "Y size         :  %d" % height]
          and lines[5].startswith("Format         :  ") and len(lines) == 6,
          "Properties shows the six lines of a bitmap: %r" % lines)
    fractal = next(p for p in samples_named(samples, ".qav") if storage_method(p) == 2)
    viewer.open(fractal)
    lines = properties_lines(viewer)
    check(lines[1] == "Memory storage: QAV class 1   " and
          lines[5] == "Format         :  24 bit, RGB TrueColor",
          "Properties shows QAV storage of a fractal image: %r" % lines)


def reiterate(viewer, count):
    viewer.menu("e", "r")
    dialog = wait_window("Reiterate...")
    focus(dialog)
    keys("Tab", "Tab", "ctrl+a")
    type_text(str(count))
    keys("Return")
    wait_window_gone(dialog)


def stored_iterations(path):
    with open(path, "rb") as file:
        header = file.read(26)
    return struct.unpack_from("<I", header, 22)[0]


def test_reiterate(viewer, binaries, samples, work):
    # A fractal sample decoded at load with 8 passes (it stores 0 or 8).
    fractal = next(p for p in samples_named(samples, ".qav")
                   if storage_method(p) == 2 and stored_iterations(p) in (0, 8))
    loaded = qavconv(binaries, fractal, os.path.join(work, "loaded.bmp"))
    one_pass = qavconv(binaries, fractal, os.path.join(work, "one.bmp"), "--iterations", "1")
    eight = qavconv(binaries, fractal, os.path.join(work, "eight.bmp"), "--iterations", "8")
    check(image_pixels(one_pass) != image_pixels(loaded), "one pass differs from the load")
    viewer.open(fractal)
    viewer.shows(loaded, work)
    reiterate(viewer, 1)
    viewer.shows(one_pass, work)
    check(True, "Reiterate with 1 shows the flat first stage")
    reiterate(viewer, 8)
    viewer.shows(eight, work)
    check(image_pixels(eight) == image_pixels(loaded),
          "Reiterate with 8 restores the pixels of the load")


def test_gif_samples(viewer, binaries, samples, work):
    files = samples_named(samples, ".gif")
    check(files, "the samples folder holds GIF images")
    for path in files:
        reference = qavconv(binaries, path, os.path.join(work, "reference.bmp"))
        viewer.open(path)
        viewer.shows(reference, work)
        check(os.path.exists(os.path.join(work, "picconv.gif")),
              "%s is shown through the converter" % os.path.basename(path))


def test_keys(binaries, samples, work):
    """qavshow FILE in a folder of three small pictures, worked by its keys alone."""
    folder = os.path.join(work, "keys")
    os.mkdir(folder)
    gifs = [os.path.join(samples, name) for name in
            ("transparent.gif", "gradient.gif", "interlaced.gif")]
    pictures = {}
    for name, gif in zip(("a1.bmp", "a2.bmp", "a10.bmp"), gifs):
        # Converted outside the folder, which is to hold only the three pictures.
        pictures[name] = os.path.join(folder, name)
        shutil.copy(qavconv(binaries, gif, os.path.join(work, "converted.bmp")), pictures[name])
    viewer = Viewer(binaries, folder, ["a1.bmp"])
    try:
        viewer.shows(pictures["a1.bmp"], work)
        check(True, "qavshow a1.bmp shows the file")
        for key, name in (("Next", "a2.bmp"), ("Next", "a10.bmp"), ("Prior", "a2.bmp")):
            viewer.press(key)
            viewer.shows(pictures[name], work)
            check(True, "%s shows %s (natural order)" % (key, name))
        viewer.press("ctrl+plus")
        viewer.shows(pictures["a2.bmp"], work, enlarged=2)
        check(True, "Ctrl++ shows every pixel as a 2 x 2 block")
        viewer.press("ctrl+0")
        viewer.shows(pictures["a2.bmp"], work)
        check(True, "Ctrl+0 shows the actual size again")
        viewer.press("ctrl+o")
        dialog = wait_window("Open")
        focus(dialog)
        keys("Escape")
        wait_window_gone(dialog)
        check(True, "Ctrl+O brings up the Open dialog")
        viewer.press("ctrl+q")
        status = viewer.process.wait(30)
        check(status == 0, "Ctrl+Q ends the program with status 0")
        viewer = None
    finally:
        if viewer:
            viewer.process.kill()


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
        test_gif_samples(viewer, binaries, samples, work)
        test_qav_samples(viewer, binaries, samples, work)
        test_refused_qav(viewer, work)
        test_properties(viewer, samples, work)
        test_reiterate(viewer, binaries, samples, work)
        status = viewer.exit()
        check(status == 0, "File > Exit ends the program with status 0")
        viewer = None
        test_keys(binaries, samples, work)
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
