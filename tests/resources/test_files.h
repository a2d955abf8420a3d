// Paths of the files the resource tests read: they lie beside the test program.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring besideTestProgram(const wchar_t* fileName) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + fileName;
}
