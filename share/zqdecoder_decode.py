# "Decode with ZQ Decoder" in the menu that GNOME Files opens on a right-click.
#
# GIO types a file by its extension, so to GNOME Files an attachment saved as
# e~report.pdf is a PDF, and a double click opens the PDF viewer on cipher
# text. This item sits where the file is, whatever its extension: it is
# offered when every selected file is local and its name begins with "e~",
# and it runs ZQDecoder -- FILE..., which opens the attachment window with
# them, as Open With does.
#
# nautilus-python 4.0 loads it from nautilus-python/extensions/ in the data
# folders (/usr/share, ~/.local/share).

import os
import subprocess

import gi

gi.require_version("Nautilus", "4.0")
from gi.repository import GLib, GObject, Nautilus

# Found on the PATH, as the desktop entry finds it.
PROGRAM = "ZQDecoder"
ENCRYPTED_PREFIX = "e~"


def encrypted_local_path(file):
    """The path of a local file named e~..., as bytes; None for anything else."""
    location = file.get_location()
    if location.get_uri_scheme() != "file" or file.is_directory():
        return None
    path = location.get_path()
    if not os.path.basename(path).startswith(ENCRYPTED_PREFIX):
        return None
    # PyGObject hands a name that is not UTF-8 over with surrogates; the bytes
    # on the disk come back from them unchanged.
    return os.fsencode(path)


def decode(paths):
    # A list, no shell: names may hold spaces, quotes or "$".
    child = subprocess.Popen([PROGRAM, "--", *paths])
    # GLib reaps the program when it ends, so that GNOME Files, which runs for
    # the whole session, keeps no zombie; poll() only tells the Popen so.
    GLib.child_watch_add(GLib.PRIORITY_DEFAULT, child.pid, lambda *_: child.poll())


class ZqDecoderMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, files):
        paths = [encrypted_local_path(file) for file in files]
        if not paths or None in paths:
            return []
        item = Nautilus.MenuItem(
            name="ZqDecoderMenu::Decode",
            label="Decode with ZQ Decoder",
            tip="Open the attachment window of ZQ Decoder with these files",
            icon="zqdecoder",
        )
        item.connect("activate", lambda _item: decode(paths))
        return [item]
