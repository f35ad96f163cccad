"""Reads the working copies that datainsert_tests leaves in datainsert_copies/ with Debian's tag
tools: mutagen and exiftool must find the payload, the cover and the lookup identifier the stage
wrote, and ffmpeg must decode the same audio as from the source. Run with /usr/bin/python3.
"""
import io
import json
import subprocess
import sys

import mutagen
from mutagen.id3 import ID3

PAYLOAD = b"GMMD\0\0\0\x04abcd" + b"MOOD\0\0\0\x02xy"
COVER = bytes([0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10]) + b"JFIF" + bytes(
    [0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xD9])
LOOKUP_ID = "STANDIN-LOOKUP-0042"
failures = []
checks = [0]


def check(condition, what):
    checks[0] += 1
    if not condition:
        failures.append(what)


def audio_md5(path):
    return subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-"],
                          check=True, capture_output=True, text=True).stdout.strip()


def exif(path, *tags):
    out = subprocess.run(["exiftool", "-json", "-b", "-a", "-G1"] + list(tags) + [path], check=True,
                         capture_output=True, text=True).stdout
    return json.loads(out)[0]


def exif_binary(value):
    # exiftool's JSON carries binary values as "base64:...".
    import base64
    values = value if isinstance(value, list) else [value]
    return [base64.b64decode(v[7:]) if isinstance(v, str) and v.startswith("base64:") else str(v).encode()
            for v in values]


def check_id3(tag, name):
    check(any(f.data == PAYLOAD for f in tag.getall("GEOB") if f.desc == "USR_VEXAL"), name + ": mutagen payload")
    check(any(f.data == COVER and f.type == 3 for f in tag.getall("APIC")), name + ": mutagen cover")


def main(folder):
    mp3 = folder + "/copy.mp3"
    tag = ID3(mp3)
    check_id3(tag, "mp3")
    check(any(f.data == LOOKUP_ID.encode() for f in tag.getall("UFID")), "mp3: mutagen lookup id")
    info = exif(mp3, "-Picture", "-ID3v2_3:all")
    check(COVER in exif_binary(info.get("ID3v2_3:Picture", [])), "mp3: exiftool cover")

    wma = folder + "/copy.wma"
    asf = mutagen.File(wma)
    check(any(v.value == PAYLOAD for v in asf.tags.get("VEXAL", [])), "wma: mutagen payload")
    check(any(COVER in v.value for v in asf.tags.get("WM/Picture", [])), "wma: mutagen cover")
    ids = [v.value for v in asf.tags.get("GN/UniqueFileIdentifier", [])]
    check(any(v == LOOKUP_ID or v == (LOOKUP_ID + "\0").encode("utf-16-le") for v in ids), "wma: mutagen lookup id")
    # The copy keeps the source's picture too: every picture's raw bytes, one after the other.
    pictures = subprocess.run(["exiftool", "-a", "-b", "-ASF:Picture", wma], check=True, capture_output=True).stdout
    check(COVER in pictures, "wma: exiftool cover")

    m4a = folder + "/copy.m4a"
    mp4 = mutagen.File(m4a)
    check([bytes(v) for v in mp4.tags.get("----:com.apple.iTunes:gnid", [])] == [LOOKUP_ID.encode()],
          "m4a: mutagen lookup id")
    data = open(m4a, "rb").read()
    # The handler box names "ID32" too: the tag box is the one whose payload starts a tag.
    at = data.find(b"ID32")
    while at > 0 and data[at + 10:at + 13] != b"ID3":
        at = data.find(b"ID32", at + 1)
    check(at > 0, "m4a: ID32 box")
    if at > 0:
        # Box payload: version and flags (4 bytes), language (2 bytes), then the whole ID3v2 tag.
        check_id3(ID3(fileobj=io.BytesIO(data[at + 10:])), "m4a")
    info = exif(m4a, "-iTunes:gnid")
    check(info.get("iTunes:Gnid") == LOOKUP_ID, "m4a: exiftool lookup id")

    for ext in ("mp3", "wma", "m4a"):
        check(audio_md5(folder + "/copy." + ext) == audio_md5(folder + "/source-copy." + ext), ext + ": audio md5")

    for failure in failures:
        print("FAILED:", failure)
    print("%d passed, %d failed" % (checks[0] - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
