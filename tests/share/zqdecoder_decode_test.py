# The GNOME Files menu item, loaded as nautilus-python loads it, over files
# that stand in for Nautilus's own: when it is offered, and what it runs.
#   python3 zqdecoder_decode_test.py EXTENSION
import importlib.util
import os
import sys
import tempfile
import time
import unittest

try:
    import gi

    gi.require_version("Nautilus", "4.0")
    from gi.repository import Gio
except (ImportError, ValueError) as error:
    print(f"skipped: {error} (install gir1.2-nautilus-4.0)")
    sys.exit(77)

spec = importlib.util.spec_from_file_location("zqdecoder_decode", sys.argv.pop(1))
extension = importlib.util.module_from_spec(spec)
spec.loader.exec_module(extension)


class StandIn:
    """What the extension reads of a Nautilus.FileInfo, over a real Gio.File;
    a URI ending in a slash is a folder's."""

    def __init__(self, uri):
        self.get_location = lambda: Gio.File.new_for_uri(uri.rstrip("/"))
        self.is_directory = lambda: uri.endswith("/")


def items(*uris):
    return extension.ZqDecoderMenu().get_file_items([StandIn(uri) for uri in uris])


class MenuItem(unittest.TestCase):
    def test_is_offered_only_when_every_file_is_a_local_encrypted_one(self):
        for uris, offered in [
            (["file:///tmp/e~a.pdf"], True),
            (["file:///tmp/e~b"], True),
            (["file:///tmp/e~a.pdf", "file:///tmp/e~b", "file:///tmp/e~%FF.txt"], True),
            (["file:///tmp/a.pdf"], False),
            (["file:///tmp/E~a.pdf"], False),
            (["file:///tmp/xe~a.pdf"], False),
            (["file:///tmp/e~folder/"], False),
            (["sftp://host/tmp/e~a.pdf"], False),
            (["file:///tmp/e~a.pdf", "file:///tmp/a.pdf"], False),
            (["file:///tmp/e~a.pdf", "sftp://host/tmp/e~b"], False),
            ([], False),
        ]:
            with self.subTest(uris=uris):
                self.assertEqual(len(items(*uris)), 1 if offered else 0)

    def test_runs_the_program_with_every_path_as_bytes_after_a_double_dash(self):
        [item] = items("file:///tmp/e~a%20%22%24x.pdf", "file:///tmp/e~%FF")
        self.assertEqual(item.props.label, "Decode with ZQ Decoder")
        with tempfile.TemporaryDirectory() as folder:
            recorder = os.path.join(folder, "record")
            with open(recorder, "w") as script:
                script.write('#!/bin/sh\nprintf "%s\\0" "$@" > "$0.part" && mv "$0.part" "$0.args"\n')
            os.chmod(recorder, 0o755)
            extension.PROGRAM = recorder
            item.activate()
            deadline = time.monotonic() + 10
            while not os.path.exists(recorder + ".args") and time.monotonic() < deadline:
                time.sleep(0.05)
            with open(recorder + ".args", "rb") as args:
                self.assertEqual(args.read().split(b"\0")[:-1], [b"--", b'/tmp/e~a "$x.pdf', b"/tmp/e~\xff"])


if __name__ == "__main__":
    unittest.main()
