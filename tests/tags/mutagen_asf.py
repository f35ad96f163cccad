"""Writes and dumps ASF tags with Debian's mutagen, for the ASF fixtures and cross-checks.

  write FILE JPG PNG GIF
                 tags FILE: a 3000-byte title followed by the author, album, genre, year, album
                 artist, a DWORD track number, a "VEXAL" mood value, a lookup identifier, the JPEG
                 as a front cover in the extended content description, the PNG as a front cover
                 and the GIF as picture type 128 in the metadata library
  cover FILE IMAGE
                 gives FILE the image as its one front cover, in the extended content description
                 where taggers put a picture without a language
  dump FILE      prints one line per attribute: NAME<TAB>TYPE<TAB>value (hex for byte arrays),
                 then "size<TAB>file-properties size<TAB>file size"
Run it with /usr/bin/python3: another python3 earlier on PATH may lack Debian's modules.
"""
import os
import struct
import sys

from mutagen.asf import ASF, ASFByteArrayAttribute, ASFDWordAttribute, ASFUnicodeAttribute

TITLE = "T" * 1499  # 2,998 bytes of UTF-16LE and the terminating zero unit: 3,000
MOOD_HEAD = b"\x00Application/VEXAL\x00\x00USR_VEXAL\x00"
MOOD_PAYLOAD = bytes(range(256)) * 2


def picture_value(picture_type, mime, image):
    return (struct.pack("<BI", picture_type, len(image)) + (mime + "\0").encode("utf-16-le")
            + "\0".encode("utf-16-le") + image)


def write(path, image_paths):
    images = []
    for image_path in image_paths:
        with open(image_path, "rb") as f:
            images.append(f.read())
    asf = ASF(path)
    asf["Title"] = TITLE
    asf["Author"] = "Mutagen Artist"
    asf["WM/AlbumTitle"] = "Mutagen Album"
    asf["WM/AlbumArtist"] = "Mutagen Band"
    asf["WM/Genre"] = "Blues"
    asf["WM/Year"] = "1999"
    asf["WM/TrackNumber"] = [ASFDWordAttribute(7)]
    asf["VEXAL"] = [ASFByteArrayAttribute(MOOD_HEAD + MOOD_PAYLOAD, language=0)]
    asf["GN/UniqueFileIdentifier"] = [ASFUnicodeAttribute("LOOKUP-0042")]
    # The first goes to the extended content description, the others (with a language) to the
    # metadata library.
    asf["WM/Picture"] = [
        ASFByteArrayAttribute(picture_value(3, "image/jpeg", images[0])),
        ASFByteArrayAttribute(picture_value(3, "image/png", images[1]), language=0),
        ASFByteArrayAttribute(picture_value(128, "image/gif", images[2]), language=0),
    ]
    asf.save()


def cover(path, image_path):
    with open(image_path, "rb") as f:
        image = f.read()
    asf = ASF(path)
    asf["WM/Picture"] = [ASFByteArrayAttribute(picture_value(3, "image/png", image))]
    asf.save()


def file_properties_size(path):
    with open(path, "rb") as f:
        head = f.read(30)
        count = struct.unpack("<I", head[24:28])[0]
        for _ in range(count):
            guid, size = struct.unpack("<16sQ", f.read(24))
            body = f.read(size - 24)
            if guid == bytes.fromhex("a1dcab8c47a9cf118ee400c00c205365"):
                return struct.unpack("<Q", body[16:24])[0]
    return -1


def dump(path):
    asf = ASF(path)
    for name, value in sorted(asf.tags, key=lambda item: item[0]):
        text = value.value.hex() if isinstance(value.value, bytes) else str(value.value)
        print("%s\t%s\t%s" % (name, type(value).__name__, text))
    print("size\t%d\t%d" % (file_properties_size(path), os.path.getsize(path)))


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3:6])
    elif sys.argv[1] == "cover":
        cover(sys.argv[2], sys.argv[3])
    elif sys.argv[1] == "dump":
        dump(sys.argv[2])
