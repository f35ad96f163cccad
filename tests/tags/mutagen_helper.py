"""Writes and dumps ID3 tags with Debian's mutagen, for the cross-checks in CrossCheckTest.cpp.

  write FILE VERSION  tags FILE (3 or 4 for ID3v2.3/2.4) with known text, picture, mood data and
                      lookup identifier values
  dump FILE           prints one line per frame: ID<TAB>encoding<TAB>text, or ID<TAB>hex of the data
Run it with /usr/bin/python3: another python3 earlier on PATH may lack Debian's modules.
"""
import sys

from mutagen.id3 import ID3, APIC, GEOB, TALB, TCON, TIT2, TPE1, TRCK, TYER, UFID, Encoding

LOOKUP_OWNER = "http://lookup.quillbay.example/ufid/2"
MOOD = bytes(range(256)) * 3
IMAGE = b"\xff\xd8\xff\xe0" + bytes(range(200)) + b"\xff\xd9"


def write(path, version):
    tag = ID3()
    utf = Encoding.UTF16 if version == 3 else Encoding.UTF8
    tag.add(TIT2(encoding=utf, text="Tïtle ♪"))
    tag.add(TPE1(encoding=Encoding.LATIN1, text="Ärtist"))
    tag.add(TALB(encoding=Encoding.UTF16, text="Album"))
    tag.add(TCON(encoding=Encoding.LATIN1, text="Jazz"))
    tag.add(TRCK(encoding=Encoding.LATIN1, text="4/12"))
    if version == 3:
        tag.add(TYER(encoding=Encoding.LATIN1, text="1999"))
    tag.add(APIC(encoding=Encoding.UTF16, mime="image/jpeg", type=3, desc="cover", data=IMAGE))
    tag.add(GEOB(encoding=Encoding.LATIN1, mime="Application/VEXAL", filename="", desc="USR_VEXAL", data=MOOD))
    tag.add(UFID(owner=LOOKUP_OWNER, data=b"LOOKUP-0042"))
    tag.save(path, v2_version=version)


def dump(path):
    tag = ID3(path)
    print("version\t%d.%d" % tag.version[:2])
    for frame in tag.values():
        if frame.FrameID in ("APIC", "GEOB", "UFID"):
            extra = "\t%d" % frame.type if frame.FrameID == "APIC" else ""
            print("%s\t%s%s" % (frame.FrameID, frame.data.hex(), extra))
        elif hasattr(frame, "text"):
            print("%s\t%d\t%s" % (frame.FrameID, int(frame.encoding), "/".join(str(t) for t in frame.text)))


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2], int(sys.argv[3]))
    elif sys.argv[1] == "dump":
        dump(sys.argv[2])
    elif sys.argv[1] == "constants":
        print(MOOD.hex())
        print(IMAGE.hex())
