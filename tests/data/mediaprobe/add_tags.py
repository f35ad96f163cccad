"""Adds the ID3v2 tags of the probe fixtures: to an MP3 as usual, or inside moov of an MP4 movie."""
import io
import struct
import sys

from mutagen.id3 import APIC, GEOB, ID3, TALB, TCON, TIT2, TPE1, TRCK, TYER, UFID

LOOKUP_OWNER = "http://lookup.quillbay.example/ufid/2"
MOOD_PAYLOAD = bytes(range(48))


def build_tag(kind, cover):
    tag = ID3()
    tag.add(TPE1(encoding=0, text=kind + " Artist"))
    # UTF-16 with a byte-order mark; turned big-endian below.
    tag.add(TIT2(encoding=1, text=kind + " Title"))
    tag.add(TCON(encoding=0, text="(17)"))
    tag.add(TALB(encoding=0, text=kind + " Album"))
    tag.add(TYER(encoding=0, text="2009"))
    tag.add(TRCK(encoding=0, text="5/12"))
    tag.add(APIC(encoding=0, mime="image/png", type=3, desc="", data=open(cover, "rb").read()))
    tag.add(GEOB(encoding=0, mime="Application/VEXAL", filename="", desc="USR_VEXAL", data=MOOD_PAYLOAD))
    tag.add(UFID(owner=LOOKUP_OWNER, data=("LOOKUP-" + kind + "-0001").encode("ascii")))
    out = io.BytesIO()
    tag.save(out, v2_version=3, padding=lambda info: 0)
    data = out.getvalue()
    little = (kind + " Title").encode("utf-16-le")
    big = (kind + " Title").encode("utf-16-be")
    assert data.count(b"\xff\xfe" + little) == 1
    return data.replace(b"\xff\xfe" + little, b"\xfe\xff" + big)


def box(kind, payload):
    return struct.pack(">I", 8 + len(payload)) + kind + payload


def add_to_mp4(data, tag):
    # meta (full box) with an ID32 handler and the ID32 box: version, flags, language "und".
    hdlr = box(b"hdlr", b"\0" * 8 + b"ID32" + b"\0" * 13)
    language = ((ord("u") - 0x60) << 10) | ((ord("n") - 0x60) << 5) | (ord("d") - 0x60)
    id32 = box(b"ID32", b"\0" * 4 + struct.pack(">H", language) + tag)
    meta = box(b"meta", b"\0" * 4 + hdlr + id32)
    at = 0
    while at < len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"moov":
            # moov follows mdat, so no chunk offset moves.
            assert data.find(b"mdat") < at
            moov = struct.pack(">I", size + len(meta)) + data[at + 4:at + size] + meta
            return data[:at] + moov + data[at + size:]
        at += size
    raise SystemExit("no moov")


def add_to_wma(source, cover, target):
    from mutagen.asf import ASF, ASFByteArrayAttribute, ASFUnicodeAttribute
    import shutil
    shutil.copyfile(source, target)
    f = ASF(target)
    f["WM/Genre"] = [ASFUnicodeAttribute("(13)")]
    f["WM/Year"] = [ASFUnicodeAttribute("2005")]
    f["WM/AlbumArtist"] = [ASFUnicodeAttribute("Wma Writer")]
    f["WM/TrackNumber"] = [ASFUnicodeAttribute("4")]
    image = open(cover, "rb").read()
    # Picture type, image size, MIME type and an empty description (UTF-16, terminated), image.
    picture = (struct.pack("<BI", 3, len(image)) + "image/png".encode("utf-16-le") + b"\0\0" + b"\0\0" + image)
    f["WM/Picture"] = [ASFByteArrayAttribute(picture)]
    f["VEXAL"] = [ASFByteArrayAttribute(MOOD_PAYLOAD)]
    f["GN/UniqueFileIdentifier"] = [ASFUnicodeAttribute("LOOKUP-WMA-0004")]
    f.save()


def main():
    kind, source, cover, target = sys.argv[1:5]
    if kind == "wma":
        add_to_wma(source, cover, target)
        return
    data = open(source, "rb").read()
    if kind == "mp3":
        data = build_tag("Mp3", cover) + data
    else:
        data = add_to_mp4(data, build_tag("Mp4", cover))
    open(target, "wb").write(data)


main()
