// Gives Wine the face Japanese dialogs ask for ("MS UI Gothic"), as a Japanese system has it:
// "set" maps it to the installed IPA font, "clear" removes the mapping. Wine reads the mapping
// when a process starts, so it is set by this program before the screens' tests run. Where the
// face exists (Windows) nothing is written.
#include <windows.h>

#include <cwchar>

namespace {

const wchar_t kReplacementsKey[] = L"Software\\Wine\\Fonts\\Replacements";
const wchar_t kFace[] = L"MS UI Gothic";
const wchar_t kStandIn[] = L"IPAPGothic";

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const wchar_t* face) {
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &font, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kReplacementsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return 1;
    }
    LSTATUS status = ERROR_SUCCESS;
    if (wcscmp(argv[1], L"set") == 0) {
        // Our own mapping from an earlier run is not the real face.
        RegDeleteValueW(key, kFace);
        if (!FaceInstalled(kFace)) {
            status = RegSetValueExW(key, kFace, 0, REG_SZ, reinterpret_cast<const BYTE*>(kStandIn), sizeof(kStandIn));
        }
    } else if (wcscmp(argv[1], L"clear") == 0) {
        status = RegDeleteValueW(key, kFace);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    } else {
        status = ERROR_INVALID_PARAMETER;
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}
