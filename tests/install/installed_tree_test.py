#!/usr/bin/env python3
"""Checks of the tree that `cmake --install` makes: where every file lands, that the installed
programs work from there, and that the desktop files are what the desktop tools accept.

    installed_tree_test.py --build DIR --prefix DIR --samples DIR --gui ON|OFF CHECK

CHECK is one of: install, layout, gif, desktop, mime, man. `install` makes the tree (the
fixture of the others); each other check reads it and fails with a sentence saying what is
wrong."""

import argparse
import glob
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

APP_ID = "io.github.qavshow.QavShow"
PROGRAMS = ["qavconv", "qavenc"]
CONVERTER = "libexec/qavshow/picconv"


class Failure(Exception):
    pass


def expect(condition, sentence):
    if not condition:
        raise Failure(sentence)


def run(argv, **kwargs):
    return subprocess.run(argv, capture_output=True, text=True, check=False, **kwargs)


def programs(options):
    return PROGRAMS + (["qavshow"] if options.gui else [])


def check_install(options):
    shutil.rmtree(options.prefix, ignore_errors=True)
    result = run(["cmake", "--install", options.build, "--prefix", options.prefix])
    expect(result.returncode == 0, "cmake --install failed:\n" + result.stdout + result.stderr)


def png_size(path):
    with open(path, "rb") as file:
        header = file.read(24)
    expect(header[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG file.")
    return struct.unpack(">II", header[16:24])


def check_layout(options):
    prefix = options.prefix
    for name in [f"bin/{program}" for program in programs(options)] + [CONVERTER]:
        expect(os.access(os.path.join(prefix, name), os.X_OK), f"{name} is missing or cannot run.")
    expect(not os.path.exists(os.path.join(prefix, "bin", "picconv")),
           "picconv is a helper and must not be installed among the commands in bin/.")
    files = ["share/mime/packages/qavshow.xml", "share/doc/qavshow/copyright",
             "share/doc/qavshow/changelog.gz"]
    files += [f"share/man/man1/{program}.1.gz" for program in programs(options)]
    if options.gui:
        files += [f"share/applications/{APP_ID}.desktop",
                  f"share/icons/hicolor/scalable/apps/{APP_ID}.svg"]
    for name in files:
        expect(os.path.isfile(os.path.join(prefix, name)), f"{name} is not installed.")
    for name in [n for n in files if n.endswith(".gz")]:
        with gzip.open(os.path.join(prefix, name)) as file:
            expect(len(file.read()) > 0, f"{name} is not a gzip file with content.")
    # The image plugins go where Qt and gdk-pixbuf look for them under the prefix.
    plugins = ["lib/*/gdk-pixbuf-2.0/*/loaders/libpixbufloader-qav.so"]
    if options.gui:
        plugins.append("lib/*/qt6/plugins/imageformats/libqavimageformat.so")
    for pattern in plugins:
        expect(len(glob.glob(os.path.join(prefix, pattern))) == 1, f"{pattern} is not installed.")
    expect(os.path.isfile(os.path.join(prefix, "share/thumbnailers/qav.thumbnailer")),
           "share/thumbnailers/qav.thumbnailer is not installed.")
    if options.gui:
        for side in (48, 256):
            icon = os.path.join(prefix, f"share/icons/hicolor/{side}x{side}/apps/{APP_ID}.png")
            expect(os.path.isfile(icon), f"The {side} pixel icon is not installed.")
            expect(png_size(icon) == (side, side), f"The {side} pixel icon has the wrong size.")


def check_gif(options):
    """The installed qavconv finds the installed converter, not one in the build tree or on PATH,
    and makes of a GIF image exactly what the build tree's qavconv makes of it."""
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(os.path.join(options.samples, "gradient.gif"), work)
        environment = dict(os.environ, PATH="/usr/bin:/bin")
        installed = run([os.path.join(options.prefix, "bin", "qavconv"), "gradient.gif",
                         "installed.bmp"], cwd=work, env=environment)
        expect(installed.returncode == 0,
               "The installed qavconv cannot convert a GIF image: " + installed.stderr)
        built = run([os.path.join(options.build, "bin", "qavconv"), "gradient.gif", "built.bmp"],
                    cwd=work, env=environment)
        expect(built.returncode == 0, "The built qavconv cannot convert a GIF image: " + built.stderr)
        with open(os.path.join(work, "installed.bmp"), "rb") as a, \
                open(os.path.join(work, "built.bmp"), "rb") as b:
            expect(a.read() == b.read(), "The installed and the built qavconv disagree on a GIF.")


def desktop_entry(path):
    entry = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            key, equals, value = line.strip().partition("=")
            if equals:
                entry[key] = value
    return entry


def check_desktop(options):
    path = os.path.join(options.prefix, "share/applications", APP_ID + ".desktop")
    result = run(["desktop-file-validate", path])
    expect(result.returncode == 0 and not result.stdout.strip(),
           "desktop-file-validate finds fault with the menu entry:\n" + result.stdout)
    entry = desktop_entry(path)
    program = entry.get("Exec", "").split()[0]
    expect(os.access(os.path.join(options.prefix, "bin", program), os.X_OK),
           f"The menu entry starts {program}, which is not installed.")
    expect(entry.get("Icon") == APP_ID, "The menu entry's icon is not the installed icon.")
    expect("image/x-qav" in entry.get("MimeType", "").split(";"),
           "The menu entry does not offer the viewer for QAV files.")


def content_type(path, data_home):
    environment = dict(os.environ, XDG_DATA_HOME=os.path.join(data_home, "home"),
                       XDG_DATA_DIRS=f"{data_home}:/usr/share")
    result = run(["gio", "info", "--attributes=standard::content-type", path], env=environment)
    expect(result.returncode == 0, f"gio cannot tell the type of {path}: {result.stderr}")
    match = re.search(r"standard::content-type: (\S+)", result.stdout)
    expect(match is not None, f"gio gives no content type for {path}.")
    return match.group(1)


def check_mime(options):
    """The installed MIME package, and only it, makes QAV files image/x-qav by name (either case)
    and by content; a file of another kind without an extension keeps its own type."""
    qav = os.path.join(options.samples, "coffee-huffman.qav")
    bmp = os.path.join(options.samples, "coffee-8bit.bmp")
    with tempfile.TemporaryDirectory() as data:
        packages = os.path.join(data, "mime", "packages")
        os.makedirs(packages)
        shutil.copy(os.path.join(options.prefix, "share/mime/packages/qavshow.xml"), packages)
        result = run(["update-mime-database", os.path.join(data, "mime")])
        expect(result.returncode == 0, "update-mime-database refuses the package: " + result.stderr)
        cases = [("picture.qav", qav, "image/x-qav"), ("PICTURE.QAV", qav, "image/x-qav"),
                 ("picture", qav, "image/x-qav"), ("bitmap", bmp, "image/bmp")]
        for name, source, wanted in cases:
            path = os.path.join(data, name)
            shutil.copy(source, path)
            found = content_type(path, data)
            expect(found == wanted, f"{name} is taken for {found}, not {wanted}.")


def options_named(text):
    """Every option a text names: --long ones, and -x ones that stand as words."""
    return set(re.findall(r"--[a-z][a-z0-9-]*", text)) | \
        set(re.findall(r"(?<![\w-])-[a-zA-Z](?![\w-])", text))


def check_man(options):
    """Every page renders without a warning, and names exactly the options its program's --help
    names, so the two are kept in step."""
    for program in programs(options):
        page = os.path.join(options.prefix, f"share/man/man1/{program}.1.gz")
        with gzip.open(page, "rt", encoding="utf-8") as file:
            source = file.read()
        rendered = run(["groff", "-man", "-t", "-ww", "-z"], input=source)
        expect(rendered.returncode == 0 and not rendered.stderr,
               f"groff warns about {program}(1):\n" + rendered.stderr)
        helped = run([os.path.join(options.prefix, "bin", program), "--help"], timeout=60)
        expect(helped.returncode == 0, f"{program} --help fails.")
        in_help = options_named(helped.stdout)
        in_page = options_named(source.replace("\\-", "-"))
        expect(in_help <= in_page,
               f"{program}(1) leaves out {', '.join(sorted(in_help - in_page))} of --help.")
        expect(in_page <= in_help,
               f"{program}(1) names {', '.join(sorted(in_page - in_help))}, unknown to --help.")


CHECKS = {"install": check_install, "layout": check_layout, "gif": check_gif,
          "desktop": check_desktop, "mime": check_mime, "man": check_man}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--gui", required=True, choices=["ON", "OFF"])
    parser.add_argument("check", choices=sorted(CHECKS))
    options = parser.parse_args()
    options.gui = options.gui == "ON"
    for folder in ("build", "prefix", "samples"):
        setattr(options, folder, os.path.abspath(getattr(options, folder)))
    try:
        CHECKS[options.check](options)
    except Failure as failure:
        print(failure, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
