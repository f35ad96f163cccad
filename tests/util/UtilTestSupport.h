#pragma once
// Scratch registry and folders for the util tests; each removes exactly what it made.

#include "library/util/ScopedWin.h"

#include <windows.h>

#include <memory>
#include <string>

// One run's own key, HKCU\Software\QuillbayTests-<GUID>, with "User" and "Machine" below it;
// removed whole with the object. Each run has a top-level key of its own, so no run ever deletes
// a key that another run is creating its keys below.
class CScratchKeyTree {
public:
    // software: HKCU\Software as it is before any redirection (kept, not owned).
    explicit CScratchKeyTree(HKEY software);
    ~CScratchKeyTree();
    CScratchKeyTree(const CScratchKeyTree&) = delete;
    CScratchKeyTree& operator=(const CScratchKeyTree&) = delete;

    bool IsValid() const { return user_.IsValid() && machine_.IsValid(); }
    // The key's name below Software.
    const std::wstring& Name() const { return name_; }
    HKEY User() const { return user_.Get(); }
    HKEY Machine() const { return machine_.Get(); }

private:
    HKEY software_;
    std::wstring name_;
    CScopedRegKey user_;
    CScopedRegKey machine_;
};

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process to the two keys of a fresh
// CScratchKeyTree, so settings tests neither see nor leave values in the real hives. The whole
// tree goes when the object does.
class CScratchRegistry {
public:
    CScratchRegistry();
    ~CScratchRegistry();
    CScratchRegistry(const CScratchRegistry&) = delete;
    CScratchRegistry& operator=(const CScratchRegistry&) = delete;

    bool IsActive() const { return active_; }
    // The stand-ins of the two hives, for looking at what was written.
    HKEY User() const { return tree_ ? tree_->User() : nullptr; }
    HKEY Machine() const { return tree_ ? tree_->Machine() : nullptr; }

private:
    CScopedRegKey software_;
    std::unique_ptr<CScratchKeyTree> tree_;
    bool active_ = false;
};

// A fresh folder below the temporary folder, deleted with everything in it at the end.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // Without a trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring Join(const std::wstring& relative) const { return path_ + L"\\" + relative; }
    // Writes a file (creating its folders) with the given bytes.
    bool WriteFile(const std::wstring& relative, const std::string& bytes) const;

private:
    std::wstring path_;
};

bool ReadWholeFile(const std::wstring& path, std::string* bytes);
void DeleteFolderTree(const std::wstring& path);
