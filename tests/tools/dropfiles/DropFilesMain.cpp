// QbDropFiles [--class NAME | --window HWND] [--at X,Y] [--wait SECONDS] [--give-up SECONDS]
//             [--shot FILE] FILE...
// Waits for the top-level window of the class (the main window's by default) or the given window
// to show, puts the pointer on the client point (100,110 by default: the main window's drop area)
// and drags the files there through OLE drag and drop; a window that has not accepted them
// within --give-up seconds (20) is given up. With --shot, the window is photographed right after
// the drop, while it works on the files. Exit code 0 when the window took the files, 1 when it
// refused them, 2 on a usage error or when no such window showed up.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ScreenGrab.h"
#include "tests/tools/dropfiles/FileDropData.h"
#include "tests/tools/dropfiles/ScriptedDropSource.h"

namespace {

struct Options {
    std::wstring windowClass = L"QUILLBAY_MAIN_FRAME";
    HWND window = nullptr;
    POINT at = {100, 110};
    DWORD waitMs = 60000;
    DWORD giveUpMs = 20000;
    std::wstring shot;
    std::vector<std::wstring> files;
};

bool ParseOptions(int argc, wchar_t** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == L"--class" && hasValue) {
            options->windowClass = argv[++i];
        } else if (argument == L"--window" && hasValue) {
            options->window = reinterpret_cast<HWND>(static_cast<INT_PTR>(wcstoull(argv[++i], nullptr, 0)));
        } else if (argument == L"--give-up" && hasValue) {
            options->giveUpMs = static_cast<DWORD>(_wtoi(argv[++i])) * 1000;
        } else if (argument == L"--at" && hasValue) {
            if (swscanf(argv[++i], L"%ld,%ld", &options->at.x, &options->at.y) != 2) {
                return false;
            }
        } else if (argument == L"--wait" && hasValue) {
            options->waitMs = static_cast<DWORD>(_wtoi(argv[++i])) * 1000;
        } else if (argument == L"--shot" && hasValue) {
            options->shot = argv[++i];
        } else if (argument.rfind(L"--", 0) == 0) {
            return false;
        } else {
            wchar_t full[MAX_PATH * 4] = {};
            const DWORD length = GetFullPathNameW(argv[i], MAX_PATH * 4, full, nullptr);
            options->files.push_back(length > 0 && length < MAX_PATH * 4 ? std::wstring(full) : argument);
        }
    }
    return !options->files.empty();
}

HWND WaitForWindow(const Options& options) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = options.window ? options.window : FindWindowW(options.windowClass.c_str(), nullptr);
        if (window && IsWindowVisible(window)) {
            return window;
        }
        if (GetTickCount() - start > options.waitMs) {
            return nullptr;
        }
        Sleep(100);
    }
}

// The X server shows a layered window's new picture a little after it was painted: grab until
// the picture is there.
bool Photograph(HWND window, const std::wstring& path) {
    const DWORD start = GetTickCount();
    do {
        RECT area = {};
        if (GetWindowRect(window, &area) && GrabScreenArea(area, path)) {
            return true;
        }
        Sleep(100);
    } while (GetTickCount() - start < 10000);
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fwprintf(stderr, L"usage: QbDropFiles [--class NAME | --window HWND] [--at X,Y] [--wait SECONDS] "
                         L"[--give-up SECONDS] [--shot FILE] FILE...\n");
        return 2;
    }
    HWND window = WaitForWindow(options);
    if (!window) {
        fwprintf(stderr, L"the window did not show up\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        fwprintf(stderr, L"OLE did not start\n");
        return 2;
    }
    POINT point = options.at;
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);

    auto* data = new CFileDropData(options.files);
    auto* source = new CScriptedDropSource(3, options.giveUpMs);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
    const bool taken = result == DRAGDROP_S_DROP && (effect & DROPEFFECT_COPY);
    data->Release();
    source->Release();

    int code = 1;
    if (taken) {
        wprintf(L"Dropped %u file(s) onto the window\n", static_cast<unsigned>(options.files.size()));
        code = 0;
        if (!options.shot.empty()) {
            if (Photograph(window, options.shot)) {
                wprintf(L"Window photographed after the drop: %ls\n", options.shot.c_str());
            } else {
                fwprintf(stderr, L"the window could not be photographed\n");
            }
        }
    } else {
        fwprintf(stderr, L"the window refused the files (0x%08lx, effect %lu)\n", static_cast<unsigned long>(result),
                 static_cast<unsigned long>(effect));
    }
    OleUninitialize();
    return code;
}
