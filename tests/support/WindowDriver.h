#pragma once
// Helpers a test thread uses to find and drive windows that run on another thread or process.

#include <windows.h>

#include <functional>
#include <string>

// Polls the condition until it holds or the time runs out; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A visible top-level window of the thread with that title (any class when className is null).
HWND FindThreadWindow(DWORD threadId, const wchar_t* className, const std::wstring& title);
// Waits for FindThreadWindow to find one; null when none appeared in time.
HWND WaitForThreadWindow(DWORD threadId, const wchar_t* className, const std::wstring& title, DWORD timeoutMs);

// The same for a visible top-level window of another process.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& title);
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& title, DWORD timeoutMs);

// Clicks a button as the user would, without waiting for what the click starts (a modal dialog
// would otherwise hold the test thread).
bool PostClick(HWND button);
// Clicks a button and waits until its window has handled the click.
void SendClick(HWND button);

std::wstring WindowText(HWND hwnd);
